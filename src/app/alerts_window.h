#pragma once

// The alerts window: the grid of rules with each fund's latest figure, the boxes for a new rule,
// the action buttons and the status line.

#include "ui/choice_box.h"
#include "ui/controls.h"
#include "ui/edit_box.h"
#include "ui/grid.h"
#include "ui/window.h"

namespace app {

// The grid's columns, in order.
enum AlertsColumn {
  kAlertName,
  kAlertCode,
  kAlertCondition,
  kAlertThreshold,
  kAlertLatest,
  kAlertNavDate,
  kAlertLastTold,
  kAlertsColumnCount
};

class AlertsWindow : public ui::Window {
 public:
  AlertsWindow();

  ui::Grid 提醒表格;
  ui::EditBox 提醒代码框;
  ui::ChoiceBox 条件框;
  ui::EditBox 阈值框;
  ui::Button 添加提醒钮;
  ui::Button 删除提醒钮;
  ui::Button 检查提醒钮;
  ui::Label 提醒状态;

 protected:
  void ApplyDesign() override;
};

}  // namespace app
