#pragma once

// The main window: the fund grid, the comparison and holdings grids, the watchlist, the
// search box, the ranking radio boxes, the side buttons, the page panel and the chart.

#include "ui/controls.h"
#include "ui/draw_panel.h"
#include "ui/edit_box.h"
#include "ui/grid.h"
#include "ui/html_viewer.h"
#include "ui/list_view.h"
#include "ui/menu.h"
#include "ui/window.h"

namespace app {

inline constexpr int kFundGridDesignRows = 21;

class MainWindow : public ui::Window {
 public:
  MainWindow();

  ui::Grid 高级表格1;  // the fund grid
  ui::Grid 高级表格2;  // the comparison grid
  ui::Label 标签1;
  ui::Label 标签2;
  ui::Grid 高级表格5;  // holdings of the current fund
  ui::Grid 高级表格6;  // holdings of the compared fund
  ui::Label 重合标签;  // the stocks both holdings grids share
  ui::Button 持仓钮;   // opens the positions window
  ui::Label 持仓标签;  // today's profit of the positions' last refresh
  ui::Button 提醒钮;   // opens the alerts window
  ui::Button 指标钮;   // opens the risk figures of the charted funds
  ui::GroupBox 分组框1;
  ui::ListView 超级列表框2;  // the watchlist
  ui::EditBox 搜索框;
  ui::ListView 超级列表框1;  // search results
  ui::Button 选择板块钮;
  ui::Button 小功能钮;
  ui::Button 五星基金钮;
  ui::Button 导出当前数据钮;
  ui::Button 导出所有数据钮;
  ui::Button 支持钮;
  ui::RadioBox 单选框1;
  ui::RadioBox 单选框2;
  ui::RadioBox 单选框3;
  ui::RadioBox 单选框4;
  ui::RadioBox 单选框5;
  ui::RadioBox 单选框6;
  ui::CheckBox 选择框1;
  ui::CheckBox 选择框2;
  ui::Label 标签5;
  ui::Label 标签6;
  ui::ShapeBox 外形框1;          // the page panel
  ui::HtmlViewer 超文本浏览框1;  // the fund page inside the panel
  ui::PictureBox 图片框1;        // the panel's close mark
  ui::DrawPanel 画板1;           // the chart
  ui::Label 标签8;               // the chart title
  ui::Button 按钮1;
  ui::Button 按钮2;
  ui::Button 按钮3;
  ui::Button 按钮4;
  ui::Button 按钮5;
  ui::Button 按钮6;
  ui::Button 按钮7;

  ui::PopupMenu 菜单;   // over the fund grid
  ui::PopupMenu 菜单1;  // over the comparison grid
  ui::PopupMenu 菜单2;  // over either holdings grid
  ui::PopupMenu 菜单3;  // over the watchlist

  // The ranking radio box of list n (1 to 6); null outside.
  ui::RadioBox* RankingRadio(int n);
  // The chart period button n (1 to 7); null outside.
  ui::Button* PeriodButton(int n);

 protected:
  void ApplyDesign() override;
};

}  // namespace app
