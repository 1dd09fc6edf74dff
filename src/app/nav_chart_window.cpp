#include "app/nav_chart_window.h"

#include <string>

#include "app/design.h"

namespace app {

NavChartWindow::NavChartWindow() : ui::Window("NavChartWindow", 800, 620) {
  for (ui::Button& button : 区间钮) Add(button);
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &刷新钮, &导出钮, &区间涨跌, &净值画板, &日期读数, &单位净值读数, &累计净值读数,
           &日增长率读数, &分红送配读数, &净值表格, &净值状态}) {
    Add(*control);
  }
  ApplyDesign();
}

void NavChartWindow::ApplyDesign() {
  SetTitle("净值走势");
  for (int i = 0; i < kNavPeriodCount; ++i) {
    const std::string caption = kNavPeriodCaptions[static_cast<size_t>(i)];
    Place(区间钮[static_cast<size_t>(i)], caption + "钮", caption, {8 + i * 64, 8, 60, 28});
  }
  Place(刷新钮, "刷新钮", "刷新", {400, 8, 60, 28});
  Place(导出钮, "导出钮", "导出", {464, 8, 60, 28});
  Place(区间涨跌, "区间涨跌", "区间涨跌", {540, 8, 252, 28});
  Place(净值画板, "净值画板", {8, 44, 784, 300});
  净值画板.SetAccessibleName("净值走势图");
  Place(日期读数, "日期读数", "日期", {8, 350, 120, 24});
  Place(单位净值读数, "单位净值读数", "单位净值", {132, 350, 124, 24});
  Place(累计净值读数, "累计净值读数", "累计净值", {260, 350, 124, 24});
  Place(日增长率读数, "日增长率读数", "日增长率", {388, 350, 112, 24});
  Place(分红送配读数, "分红送配读数", "分红送配", {504, 350, 288, 24});
  Place(净值表格, "净值表格", {8, 380, 784, 200});
  净值表格.SetAccessibleName("净值表格");
  // The columns leave the grid's frame and a vertical scroll bar their pixels.
  净值表格.SetDesign(
      {{"日期", 96}, {"单位净值", 88}, {"累计净值", 88}, {"日增长率", 80}, {"分红送配", 404}}, 1);
  Place(净值状态, "净值状态", "", {8, 586, 784, 26});
}

}  // namespace app
