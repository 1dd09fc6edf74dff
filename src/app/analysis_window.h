#pragma once

// The 收益分析 window over the ledger's money: the summary, a month's 收益日历 with its month's
// and year's totals, the table of monthly returns, the chart of 总资产 and 投入本金 with its
// period buttons, and the status line. Every figure is the text of a label or a grid cell.

#include <array>

#include "ui/controls.h"
#include "ui/draw_panel.h"
#include "ui/grid.h"
#include "ui/window.h"

namespace app {

// 收益日历: one column per weekday, Monday first; each week of the month is two rows, the days'
// numbers and below them the days' profits.
inline constexpr int kCalendarColumnCount = 7;
inline constexpr int kCalendarWeeks = 6;

// 月度收益's columns: 年份, 1月 to 12月 (columns 1 to 12), 全年.
inline constexpr int kReturnYear = 0;
inline constexpr int kReturnWhole = 13;
inline constexpr int kReturnColumnCount = 14;

// The chart's periods, in the order of their buttons.
enum class ValuePeriod { kMonth1, kMonth3, kMonth6, kYear1, kYear3, kAll };
inline constexpr int kValuePeriodCount = 6;
inline constexpr std::array<const char*, kValuePeriodCount> kValuePeriodCaptions = {
    "近1月", "近3月", "近6月", "近1年", "近3年", "全部"};

class AnalysisWindow : public ui::Window {
 public:
  AnalysisWindow();

  // The summary: each label holds its caption and its figure.
  ui::Label 总资产标签;
  ui::Label 累计投入标签;
  ui::Label 累计收益标签;
  ui::Label 累计收益率标签;
  ui::Label 年化收益率标签;
  ui::Label 年化收益标签;
  ui::Label 最大回撤标签;
  ui::Label 年化波动标签;
  // 收益日历.
  ui::Button 上月钮;
  ui::Label 月份标签;
  ui::Button 下月钮;
  ui::Grid 收益日历;
  ui::Label 月收益标签;
  ui::Label 年收益标签;
  // 月度收益.
  ui::Grid 月度收益表格;
  // The chart, one button per period in ValuePeriod order.
  std::array<ui::Button, kValuePeriodCount> 区间钮;
  ui::DrawPanel 资产画板;
  ui::Label 分析状态;

 protected:
  void ApplyDesign() override;
};

}  // namespace app
