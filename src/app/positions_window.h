#pragma once

// The positions window: the grid of held funds with a total row, the entry boxes for a buy,
// sale or dividend (by shares and NAV as confirmed, or by the amount paid and the shares sold,
// confirmed by the fund's NAV), the action buttons, the status line, and the grid of trades.

#include "ui/choice_box.h"
#include "ui/controls.h"
#include "ui/edit_box.h"
#include "ui/grid.h"
#include "ui/window.h"

namespace app {

// The grid's columns, in order.
enum PositionsColumn {
  kPosName,
  kPosCode,
  kPosShares,
  kPosCostPrice,
  kPosCost,
  kPosNav,
  kPosNavDate,
  kPosDayChange,
  kPosTodayProfit,
  kPosHeldProfit,
  kPosRate,
  kPosDividends,
  kPosAnnualReturn,
  kPositionsColumnCount
};

// 交易表格's columns: the pending trades, then the records of the fund chosen in 持仓表格.
enum TradesColumn {
  kTradeDay,
  kTradeName,
  kTradeCode,
  kTradeKind,
  kTradeAmount,
  kTradeShares,
  kTradeNav,
  kTradeFee,
  kTradeRate,
  kTradeState,
  kTradesColumnCount
};

class PositionsWindow : public ui::Window {
 public:
  PositionsWindow();

  ui::Grid 持仓表格;
  ui::EditBox 代码框;
  ui::EditBox 份额框;
  ui::EditBox 净值框;
  ui::EditBox 日期框;
  ui::Button 买入钮;
  ui::Button 卖出钮;
  ui::Button 删除持仓钮;
  ui::Button 刷新持仓钮;
  ui::Button 导出持仓钮;
  ui::EditBox 费用框;
  ui::EditBox 金额框;
  ui::Button 现金分红钮;
  ui::Button 红利再投钮;
  ui::Label 持仓状态;
  ui::EditBox 费率框;
  ui::CheckBox 午后框;
  ui::Button 按金额买入钮;
  ui::Button 按份额卖出钮;
  ui::Button 定投计划钮;
  ui::Grid 交易表格;
  ui::Label 分红方式标签;
  ui::ChoiceBox 分红方式框;
  ui::Button 删除交易钮;
  ui::Button 收益分析钮;
  ui::Button 导入钮;
  ui::Button 导出记录钮;
  ui::Button 备份钮;
  ui::Button 恢复钮;
  ui::Label 账户标签;
  ui::ChoiceBox 账户框;
  ui::EditBox 账户名框;
  ui::Button 添加账户钮;
  ui::Button 改名账户钮;
  ui::Button 删除账户钮;

 protected:
  void ApplyDesign() override;
};

}  // namespace app
