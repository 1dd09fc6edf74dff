#include "app/main_window.h"

#include "app/design.h"

namespace app {

namespace {
constexpr ui::Colour kHintColour = ui::Rgb(192, 192, 192);
}

MainWindow::MainWindow() : ui::Window("MainWindow", 1564, 859) {
  // Creation order is stacking order: later controls are drawn above earlier ones. The chart
  // lies under everything its area overlaps (the comparison grid's edge, the buttons and the
  // search box to its left, its title and period buttons); the page panel covers the fund
  // grid; the search results drop down over all.
  // The overlap caption has the strip under the holdings grids to itself.
  Add(重合标签);
  // So has the positions' button and caption.
  Add(持仓钮);
  Add(持仓标签);
  // The risk figures' button sits in that strip under the chart, clear of its period buttons.
  Add(指标钮);
  Add(提醒钮);
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &画板1,      &高级表格1,      &高级表格2,      &标签1,   &高级表格5,  &高级表格6,
           &标签2,      &分组框1,        &超级列表框2,    &搜索框,  &选择板块钮, &小功能钮,
           &五星基金钮, &导出当前数据钮, &导出所有数据钮, &支持钮,  &单选框1,    &单选框2,
           &单选框3,    &单选框4,        &单选框5,        &单选框6, &选择框1,    &选择框2,
           &标签5,      &标签6,          &标签8,          &按钮1,   &按钮2,      &按钮3,
           &按钮4,      &按钮5,          &按钮6,          &按钮7,   &外形框1,    &超文本浏览框1,
           &图片框1,    &超级列表框1}) {
    Add(*control);
  }
  for (ui::PopupMenu* menu : {&菜单, &菜单1, &菜单2, &菜单3}) Add(*menu);
  ui::RadioBox::Group({&单选框1, &单选框2, &单选框3, &单选框4, &单选框5, &单选框6});
  ApplyDesign();
}

ui::RadioBox* MainWindow::RankingRadio(int n) {
  ui::RadioBox* boxes[] = {&单选框1, &单选框2, &单选框3, &单选框4, &单选框5, &单选框6};
  return n >= 1 && n <= 6 ? boxes[n - 1] : nullptr;
}

ui::Button* MainWindow::PeriodButton(int n) {
  ui::Button* buttons[] = {&按钮1, &按钮2, &按钮3, &按钮4, &按钮5, &按钮6, &按钮7};
  return n >= 1 && n <= 7 ? buttons[n - 1] : nullptr;
}

void MainWindow::ApplyDesign() {
  Place(高级表格1, "高级表格1", {8, 8, 1544, 408});
  高级表格1.SetDesign(FundGridColumns(), kFundGridDesignRows);
  Place(高级表格2, "高级表格2", {8, 416, 1544, 96});
  高级表格2.SetDesign(FundGridColumns(), 3);
  Place(标签1, "标签1", "十大重仓股票", {8, 512, 168, 32});
  Place(标签2, "标签2", "十大重仓股票", {176, 512, 176, 32});
  Place(高级表格5, "高级表格5", {8, 544, 168, 280});
  高级表格5.SetDesign(HoldingsGridColumns(), 11);
  Place(高级表格6, "高级表格6", {184, 544, 168, 280});
  高级表格6.SetDesign(HoldingsGridColumns(), 11);
  Place(重合标签, "重合标签", "", {8, 828, 344, 28});
  Place(持仓钮, "持仓钮", "我的持仓", {680, 826, 80, 28});
  Place(持仓标签, "持仓标签", "", {768, 826, 144, 28});
  // The period buttons reach down to y = 827; the strip's other row, 重合标签's, clears them.
  Place(指标钮, "指标钮", "风险指标", {920, 828, 80, 28});
  Place(提醒钮, "提醒钮", "基金提醒", {1008, 828, 80, 28});
  Place(分组框1, "分组框1", "自选", {352, 512, 320, 312});
  Place(超级列表框2, "超级列表框2", {8, 16, 304, 288}, true, &分组框1);
  超级列表框2.SetColumns({{"序", 32}, {"代码", 64}, {"名称", 136}, {"类型", 48}});
  Place(搜索框, "搜索框", {680, 512, 232, 40});
  搜索框.SetDesignText("输入基金代码或名称");
  搜索框.SetTextColour(kHintColour);
  Place(超级列表框1, "超级列表框1", {680, 552, 232, 16}, false);
  超级列表框1.SetColumns({{"名称", 150}, {"ID", 70}});
  // The search sizes the list as one item height for the header and one per result.
  超级列表框1.SetItemHeight(32);

  Place(选择板块钮, "选择板块钮", "基金板块", {680, 576, 72, 40});
  选择板块钮.SetToolTip("首次加载较慢");
  Place(小功能钮, "小功能钮", "小功能", {760, 576, 72, 40});
  Place(五星基金钮, "五星基金钮", "五星基金", {840, 576, 72, 40});
  Place(导出当前数据钮, "导出当前数据钮", "导出当前数据", {680, 624, 80, 40});
  Place(导出所有数据钮, "导出所有数据钮", "导出所有数据", {768, 624, 80, 40});
  Place(支持钮, "支持钮", "支持作者", {856, 624, 56, 40});

  const char* radio_captions[] = {"昨日涨幅", "本月涨幅", "3月涨幅",
                                  "昨日跌幅", "本月跌幅", "3月跌幅"};
  for (int n = 1; n <= 6; ++n) {
    ui::RadioBox& box = *RankingRadio(n);
    Place(box, "单选框" + std::to_string(n), radio_captions[n - 1],
          {680 + 80 * ((n - 1) % 3), n <= 3 ? 672 : 696, 72, 16});
    box.SetChecked(false);
  }
  Place(选择框1, "选择框1", "加载所有数据", {688, 720, 96, 24});
  选择框1.SetToolTip("加载板块所有数据，对于数据较多的板块加载较慢。");
  选择框1.SetChecked(false);
  Place(选择框2, "选择框2", "开机自启", {808, 720, 80, 24});
  选择框2.SetChecked(false);
  Place(标签5, "标签5", "", {680, 760, 232, 24});
  Place(标签6, "标签6", "", {680, 792, 232, 24});

  Place(外形框1, "外形框1", {688, 8, 872, 336}, false);
  Place(超文本浏览框1, "超文本浏览框1", {-130, -440, 1002, 776}, false, &外形框1);
  Place(图片框1, "图片框1", {808, 0, 64, 56}, true, &外形框1);
  图片框1.SetImage("close_mark.png");

  Place(画板1, "画板1", {896, 496, 688, 320});
  Place(标签8, "标签8", "", {1112, 512, 240, 32});
  const char* period_captions[] = {"近1周", "近1月", "近3月", "近6月", "近1年", "近2年", "近3年"};
  for (int n = 1; n <= 7; ++n) {
    Place(*PeriodButton(n), "按钮" + std::to_string(n), period_captions[n - 1],
          {968 + 80 * (n - 1), 792, 60, 35});
  }

  菜单.SetName("菜单");
  菜单.SetCaptions({"加入对比", "加入自选基金", "加入持仓", "添加提醒", "净值走势"});
  菜单1.SetName("菜单1");
  菜单1.SetCaptions({"删除对比"});
  菜单2.SetName("菜单2");
  菜单2.SetCaptions({"加入自选股票"});
  菜单3.SetName("菜单3");
  菜单3.SetCaptions({"删除自选", "净值走势"});
}

}  // namespace app
