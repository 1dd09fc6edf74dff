#include "app/analysis_window.h"

#include <string>
#include <utility>
#include <vector>

#include "app/design.h"

namespace app {

AnalysisWindow::AnalysisWindow() : ui::Window("AnalysisWindow", 960, 720) {
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &总资产标签, &累计投入标签, &累计收益标签, &累计收益率标签, &年化收益率标签,
           &年化收益标签, &最大回撤标签, &年化波动标签, &上月钮, &月份标签, &下月钮, &收益日历,
           &月收益标签, &年收益标签, &月度收益表格}) {
    Add(*control);
  }
  for (ui::Button& button : 区间钮) Add(button);
  Add(资产画板);
  Add(分析状态);
  ApplyDesign();
}

void AnalysisWindow::ApplyDesign() {
  SetTitle("收益分析");
  // The summary: two rows of four.
  const std::pair<ui::Label*, const char*> summary[] = {
      {&总资产标签, "总资产"},         {&累计投入标签, "累计投入"},     {&累计收益标签, "累计收益"},
      {&累计收益率标签, "累计收益率"}, {&年化收益率标签, "年化收益率"}, {&年化收益标签, "年化收益"},
      {&最大回撤标签, "最大回撤"},     {&年化波动标签, "年化波动"}};
  // A label reads as its text, caption and figure. The third column is wider: 最大回撤 carries its
  // two days.
  constexpr int kX[] = {8, 216, 424, 752};
  constexpr int kWidth[] = {200, 200, 320, 200};
  for (int i = 0; i < 8; ++i) {
    auto [label, caption] = summary[i];
    Place(*label, std::string(caption) + "标签", caption,
          {kX[i % 4], 8 + (i / 4) * 28, kWidth[i % 4], 24});
  }
  Place(上月钮, "上月钮", "上月", {8, 68, 60, 28});
  Place(月份标签, "月份标签", "", {76, 68, 120, 28});
  Place(下月钮, "下月钮", "下月", {204, 68, 60, 28});
  Place(收益日历, "收益日历", {8, 100, 456, 336});
  收益日历.SetAccessibleName("收益日历");
  // The columns leave the grid's frame and a vertical scroll bar their pixels.
  收益日历.SetDesign(
      {{"一", 60}, {"二", 60}, {"三", 60}, {"四", 60}, {"五", 60}, {"六", 60}, {"日", 60}}, 1);
  Place(月收益标签, "月收益标签", "本月收益", {8, 440, 224, 24});
  Place(年收益标签, "年收益标签", "本年收益", {240, 440, 224, 24});
  for (int i = 0; i < kValuePeriodCount; ++i) {
    const std::string caption = kValuePeriodCaptions[static_cast<size_t>(i)];
    Place(区间钮[static_cast<size_t>(i)], caption + "钮", caption, {480 + i * 64, 68, 60, 28});
  }
  Place(资产画板, "资产画板", {480, 100, 472, 364});
  资产画板.SetAccessibleName("总资产与投入本金走势图");
  Place(月度收益表格, "月度收益表格", {8, 472, 944, 208});
  月度收益表格.SetAccessibleName("月度收益");
  std::vector<ui::GridColumn> columns = {{"年份", 64}};
  for (int month = 1; month <= 12; ++month) columns.push_back({std::to_string(month) + "月", 64});
  columns.push_back({"全年", 80});
  月度收益表格.SetDesign(std::move(columns), 1);
  Place(分析状态, "分析状态", "", {8, 688, 944, 24});
}

}  // namespace app
