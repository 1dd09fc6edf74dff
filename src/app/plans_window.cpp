#include "app/plans_window.h"

#include <string>
#include <utility>
#include <vector>

#include "app/design.h"

namespace app {

namespace {

constexpr const char* kCycleItems[] = {"每日", "每周", "每两周", "每月"};
constexpr const char* kWeekdayItems[] = {"周一", "周二", "周三", "周四", "周五"};

}  // namespace

PlansWindow::PlansWindow() : ui::Window("PlansWindow", 936, 456) {
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &定投表格, &定投代码框, &定投金额框, &定投费率框, &定投周期框, &定投日框, &开始日期框,
           &结束日期框, &添加定投钮, &修改定投钮, &暂停定投钮, &删除定投钮, &定投状态}) {
    Add(*control);
  }
  ApplyDesign();
}

void PlansWindow::ShowDayItems() {
  std::vector<std::string> items;
  switch (定投周期框.Current()) {
    case 1:
    case 2:
      items.assign(std::begin(kWeekdayItems), std::end(kWeekdayItems));
      break;
    case 3:
      for (int day = 1; day <= 28; ++day) items.push_back(std::to_string(day));
      break;
    default:
      break;
  }
  定投日框.SetEnabled(!items.empty());
  定投日框.SetItems(std::move(items));
}

void PlansWindow::ApplyDesign() {
  SetTitle("定投计划");
  Place(定投表格, "定投表格", {8, 8, 920, 320});
  // The columns leave the grid's frame and a vertical scroll bar their pixels.
  定投表格.SetDesign({{"基金名称", 120},
                      {"基金代码", 64},
                      {"每期金额", 72},
                      {"费率", 56},
                      {"周期", 56},
                      {"定投日", 56},
                      {"开始日期", 80},
                      {"结束日期", 80},
                      {"状态", 56},
                      {"已投期数", 64},
                      {"累计投入", 88},
                      {"下次定投日", 80}},
                     1);
  定投表格.SetAccessibleName("定投计划");
  Place(定投代码框, "定投代码框", {8, 336, 96, 32});
  Place(定投金额框, "定投金额框", {112, 336, 96, 32});
  Place(定投费率框, "定投费率框", {216, 336, 72, 32});
  Place(定投周期框, "定投周期框", {296, 336, 88, 32});
  Place(定投日框, "定投日框", {392, 336, 72, 32});
  Place(开始日期框, "开始日期框", {472, 336, 104, 32});
  Place(结束日期框, "结束日期框", {584, 336, 168, 32});
  for (auto [box, hint] : {std::pair{&定投代码框, "基金代码"},
                           {&定投金额框, "每期金额"},
                           {&定投费率框, "费率%"},
                           {&开始日期框, "开始日期"},
                           {&结束日期框, "结束日期，可不填"}}) {
    box->SetHint(hint);
    box->SetAccessibleName(hint);
  }
  定投周期框.SetItems({std::begin(kCycleItems), std::end(kCycleItems)});
  定投周期框.SetCurrent(3);
  定投周期框.SetAccessibleName("定投周期");
  ShowDayItems();
  定投日框.SetAccessibleName("定投日");
  Place(添加定投钮, "添加定投钮", "添加", {8, 376, 64, 32});
  Place(修改定投钮, "修改定投钮", "修改", {80, 376, 64, 32});
  Place(暂停定投钮, "暂停定投钮", "暂停", {152, 376, 64, 32});
  Place(删除定投钮, "删除定投钮", "删除", {224, 376, 64, 32});
  Place(定投状态, "定投状态", "", {8, 416, 920, 32});
}

}  // namespace app
