#include "app/alerts_window.h"

#include "app/design.h"

namespace app {

AlertsWindow::AlertsWindow() : ui::Window("AlertsWindow", 640, 400) {
  for (ui::Control* control :
       std::initializer_list<ui::Control*>{&提醒表格, &提醒代码框, &条件框, &阈值框, &添加提醒钮,
                                           &删除提醒钮, &检查提醒钮, &提醒状态}) {
    Add(*control);
  }
  ApplyDesign();
}

void AlertsWindow::ApplyDesign() {
  SetTitle("基金提醒");
  Place(提醒表格, "提醒表格", {8, 8, 624, 288});
  // The columns leave the grid's frame and a vertical scroll bar their pixels, so that no
  // horizontal scroll bar hides the last one.
  提醒表格.SetDesign({{"基金名称", 104},
                      {"基金代码", 64},
                      {"条件", 88},
                      {"阈值", 72},
                      {"最新值", 72},
                      {"净值日期", 88},
                      {"上次提醒", 112}},
                     1);
  Place(提醒代码框, "提醒代码框", {8, 304, 96, 32});
  提醒代码框.SetHint("基金代码");
  Place(条件框, "条件框", {112, 304, 120, 32});
  条件框.SetItems({"日涨幅≥", "日跌幅≥", "净值≥", "净值≤", "收益率≥", "收益率≤"});
  Place(阈值框, "阈值框", {240, 304, 96, 32});
  阈值框.SetHint("阈值");
  Place(添加提醒钮, "添加提醒钮", "添加", {344, 304, 64, 32});
  Place(删除提醒钮, "删除提醒钮", "删除", {416, 304, 64, 32});
  Place(检查提醒钮, "检查提醒钮", "立即检查", {488, 304, 96, 32});
  Place(提醒状态, "提醒状态", "", {8, 352, 624, 32});
}

}  // namespace app
