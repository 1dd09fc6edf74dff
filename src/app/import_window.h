#pragma once

// The 导入预览 window: the rows of a file as they will go into the ledger, each with its state;
// the mapping of the file's columns; the account, the sale fee rate and the day of a snapshot;
// the fund to take for a name the search gives several of; and the buttons that import the
// rows or leave the file.

#include "ui/choice_box.h"
#include "ui/controls.h"
#include "ui/edit_box.h"
#include "ui/grid.h"
#include "ui/window.h"

namespace app {

// The grid's columns, in order.
enum ImportColumn {
  kImportState,
  kImportDay,
  kImportTime,
  kImportCode,
  kImportName,
  kImportKind,
  kImportAmount,
  kImportShares,
  kImportNav,
  kImportCostPrice,
  kImportFee,
  kImportTradeId,
  kImportAccount,
  kImportColumnCount
};

class ImportWindow : public ui::Window {
 public:
  ImportWindow();

  ui::Grid 导入表格;
  ui::Label 格式标签;
  ui::ChoiceBox 源列框;
  ui::ChoiceBox 映射框;
  ui::ChoiceBox 导入账户框;
  ui::EditBox 卖出费率框;
  ui::EditBox 快照日期框;
  ui::Label 候选标签;
  ui::ChoiceBox 候选框;
  ui::Button 确认导入钮;
  ui::Button 取消导入钮;
  ui::Label 导入状态;

 protected:
  void ApplyDesign() override;
};

}  // namespace app
