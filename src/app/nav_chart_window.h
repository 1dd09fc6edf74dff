#pragma once

// The NAV history window (净值走势): the period buttons, 刷新 and 导出, the period's change, the
// chart of unit and accumulated NAV, the read-out of the day under the mouse, the table of the
// period's days and the status line.

#include <array>

#include "ui/controls.h"
#include "ui/draw_panel.h"
#include "ui/grid.h"
#include "ui/window.h"

namespace app {

// The table's columns, in order.
enum NavTableColumn {
  kNavDay,
  kNavUnit,
  kNavAccumulated,
  kNavGrowth,
  kNavUnitMoney,
  kNavTableColumnCount
};

// The periods, in the order of their buttons.
enum class NavPeriod { kMonth1, kMonth3, kMonth6, kYear1, kYear3, kAll };
inline constexpr int kNavPeriodCount = 6;
inline constexpr std::array<const char*, kNavPeriodCount> kNavPeriodCaptions = {
    "近1月", "近3月", "近6月", "近1年", "近3年", "成立来"};

class NavChartWindow : public ui::Window {
 public:
  NavChartWindow();

  // One button per period, in NavPeriod order.
  std::array<ui::Button, kNavPeriodCount> 区间钮;
  ui::Button 刷新钮;
  ui::Button 导出钮;
  ui::Label 区间涨跌;
  ui::DrawPanel 净值画板;
  // The read-out of the day under the mouse, one label per figure.
  ui::Label 日期读数;
  ui::Label 单位净值读数;
  ui::Label 累计净值读数;
  ui::Label 日增长率读数;
  ui::Label 分红送配读数;
  ui::Grid 净值表格;
  ui::Label 净值状态;

 protected:
  void ApplyDesign() override;
};

}  // namespace app
