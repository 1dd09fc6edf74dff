#pragma once

// The 定投 plans window: the grid of plans with what each has bought, the boxes of a plan, the
// buttons that add, change, pause or resume and delete one, and the status line.

#include "ui/choice_box.h"
#include "ui/controls.h"
#include "ui/edit_box.h"
#include "ui/grid.h"
#include "ui/window.h"

namespace app {

// The grid's columns, in order.
enum PlansColumn {
  kPlanName,
  kPlanCode,
  kPlanAmount,
  kPlanRate,
  kPlanCycle,
  kPlanDay,
  kPlanStart,
  kPlanEnd,
  kPlanState,
  kPlanPeriods,
  kPlanInvested,
  kPlanNext,
  kPlansColumnCount
};

class PlansWindow : public ui::Window {
 public:
  PlansWindow();

  ui::Grid 定投表格;
  ui::EditBox 定投代码框;
  ui::EditBox 定投金额框;
  ui::EditBox 定投费率框;
  ui::ChoiceBox 定投周期框;
  ui::ChoiceBox 定投日框;
  ui::EditBox 开始日期框;
  ui::EditBox 结束日期框;
  ui::Button 添加定投钮;
  ui::Button 修改定投钮;
  ui::Button 暂停定投钮;
  ui::Button 删除定投钮;
  ui::Label 定投状态;

  // 定投日框's items for the cycle chosen in 定投周期框: the weekdays of a weekly cycle, the days
  // 1 to 28 of a monthly one, none (and the box disabled) for a daily one. The first item is
  // chosen.
  void ShowDayItems();

 protected:
  void ApplyDesign() override;
};

}  // namespace app
