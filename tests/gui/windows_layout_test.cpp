// Every control of the four windows as the user meets it: the widget's name, kind, caption,
// place, visibility, container and tool-tip, plus the pop-up menus and the board buttons'
// position order.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_fixture.h"
#include "ui/qt/window_view.h"

namespace {

struct Expected {
  const char* window;
  const char* name;
  const char* kind;
  const char* caption;  // caption, edit text or list headers joined by "|"
  int left, top, width, height;
  bool visible;
  const char* inside;  // containing control, "" for the window
  const char* tip;
};

// clang-format off
const Expected kControls[] = {
  {"MainWindow", "高级表格1", "advanced grid", "", 8, 8, 1544, 408, true, "", ""},
  {"MainWindow", "高级表格2", "advanced grid", "", 8, 416, 1544, 96, true, "", ""},
  {"MainWindow", "标签1", "label", "十大重仓股票", 8, 512, 168, 32, true, "", ""},
  {"MainWindow", "标签2", "label", "十大重仓股票", 176, 512, 176, 32, true, "", ""},
  {"MainWindow", "高级表格5", "advanced grid", "", 8, 544, 168, 280, true, "", ""},
  {"MainWindow", "高级表格6", "advanced grid", "", 184, 544, 168, 280, true, "", ""},
  {"MainWindow", "分组框1", "group box", "自选", 352, 512, 320, 312, true, "", ""},
  {"MainWindow", "超级列表框2", "list view", "序|代码|名称|类型", 8, 16, 304, 288, true, "分组框1", ""},
  {"MainWindow", "搜索框", "edit box", "输入基金代码或名称", 680, 512, 232, 40, true, "", ""},
  {"MainWindow", "超级列表框1", "list view", "名称|ID", 680, 552, 232, 16, false, "", ""},
  {"MainWindow", "选择板块钮", "button", "基金板块", 680, 576, 72, 40, true, "", "首次加载较慢"},
  {"MainWindow", "小功能钮", "button", "小功能", 760, 576, 72, 40, true, "", ""},
  {"MainWindow", "五星基金钮", "button", "五星基金", 840, 576, 72, 40, true, "", ""},
  {"MainWindow", "导出当前数据钮", "button", "导出当前数据", 680, 624, 80, 40, true, "", ""},
  {"MainWindow", "导出所有数据钮", "button", "导出所有数据", 768, 624, 80, 40, true, "", ""},
  {"MainWindow", "支持钮", "button", "支持作者", 856, 624, 56, 40, true, "", ""},
  {"MainWindow", "单选框1", "radio box", "昨日涨幅", 680, 672, 72, 16, true, "", ""},
  {"MainWindow", "单选框2", "radio box", "本月涨幅", 760, 672, 72, 16, true, "", ""},
  {"MainWindow", "单选框3", "radio box", "3月涨幅", 840, 672, 72, 16, true, "", ""},
  {"MainWindow", "单选框4", "radio box", "昨日跌幅", 680, 696, 72, 16, true, "", ""},
  {"MainWindow", "单选框5", "radio box", "本月跌幅", 760, 696, 72, 16, true, "", ""},
  {"MainWindow", "单选框6", "radio box", "3月跌幅", 840, 696, 72, 16, true, "", ""},
  {"MainWindow", "选择框1", "check box", "加载所有数据", 688, 720, 96, 24, true, "",
   "加载板块所有数据，对于数据较多的板块加载较慢。"},
  {"MainWindow", "选择框2", "check box", "开机自启", 808, 720, 80, 24, true, "", ""},
  {"MainWindow", "标签5", "label", "", 680, 760, 232, 24, true, "", ""},
  {"MainWindow", "标签6", "label", "", 680, 792, 232, 24, true, "", ""},
  {"MainWindow", "外形框1", "shape box", "", 688, 8, 872, 336, false, "", ""},
  {"MainWindow", "超文本浏览框1", "HTML viewer", "", -130, -440, 1002, 776, false, "外形框1", ""},
  {"MainWindow", "图片框1", "picture box", "", 808, 0, 64, 56, true, "外形框1", ""},
  {"MainWindow", "标签8", "label", "", 1112, 512, 240, 32, true, "", ""},
  {"MainWindow", "画板1", "draw panel", "", 896, 496, 688, 320, true, "", ""},
  {"MainWindow", "按钮1", "button", "近1周", 968, 792, 60, 35, true, "", ""},
  {"MainWindow", "按钮2", "button", "近1月", 1048, 792, 60, 35, true, "", ""},
  {"MainWindow", "按钮3", "button", "近3月", 1128, 792, 60, 35, true, "", ""},
  {"MainWindow", "按钮4", "button", "近6月", 1208, 792, 60, 35, true, "", ""},
  {"MainWindow", "按钮5", "button", "近1年", 1288, 792, 60, 35, true, "", ""},
  {"MainWindow", "按钮6", "button", "近2年", 1368, 792, 60, 35, true, "", ""},
  {"MainWindow", "按钮7", "button", "近3年", 1448, 792, 60, 35, true, "", ""},
  {"BoardWindow", "按钮112", "button", "近1周", 215, 576, 90, 40, true, "", ""},
  {"BoardWindow", "按钮113", "button", "近1月", 315, 576, 90, 40, true, "", ""},
  {"BoardWindow", "按钮114", "button", "近3月", 415, 576, 90, 40, true, "", ""},
  {"BoardWindow", "按钮115", "button", "近1年", 515, 576, 90, 40, true, "", ""},
  {"BoardWindow", "标签1", "label", "", 624, 576, 272, 40, true, "", ""},
  {"BoardWindow", "标签2", "label", "仔细观察一下排行，我想你会发现点什么。", 128, 624, 600, 32, true, "", ""},
  {"SideToolsWindow", "分组框1", "group box", "微信/支付宝/QQ刷步", 8, 8, 208, 168, true, "", ""},
  {"SideToolsWindow", "标签1", "label", "小米账号：", 8, 24, 56, 32, true, "分组框1", ""},
  {"SideToolsWindow", "小米账号框", "edit box", "", 72, 24, 112, 32, true, "分组框1", ""},
  {"SideToolsWindow", "标签2", "label", "小米密码：", 8, 64, 56, 32, true, "分组框1", ""},
  {"SideToolsWindow", "小米密码框", "edit box", "", 72, 64, 112, 32, true, "分组框1", ""},
  {"SideToolsWindow", "标签3", "label", "目标步数：", 8, 104, 56, 32, true, "分组框1", ""},
  {"SideToolsWindow", "目标步数框", "edit box", "", 72, 104, 112, 32, true, "分组框1", ""},
  {"SideToolsWindow", "标签6", "label", "使用方法", 152, 144, 48, 16, true, "分组框1", ""},
  {"SideToolsWindow", "分组框2", "group box", "吾爱签到", 224, 8, 384, 80, true, "", ""},
  {"SideToolsWindow", "标签5", "label", "吾爱cookie：", 8, 16, 64, 32, true, "分组框2", ""},
  {"SideToolsWindow", "吾爱cookie框", "edit box", "", 80, 16, 296, 32, true, "分组框2", ""},
  {"SideToolsWindow", "标签7", "label", "使用方法", 552, 64, 48, 16, true, "", ""},
  {"SideToolsWindow", "标签4", "label", "以上功能配置好后，软件启动自动执行", 272, 152, 208, 24, true, "", ""},
  {"SideToolsWindow", "按钮1", "button", "保存配置", 528, 144, 80, 32, true, "", ""},
  {"SupportWindow", "图片框1", "picture box", "", 8, 8, 280, 296, true, "", ""},
  {"SupportWindow", "图片框2", "picture box", "", 304, 8, 304, 296, true, "", ""},
  {"SupportWindow", "标签1", "label", "如果喜欢可以支持一下，感谢每一个支持我的人。", 40, 312, 512, 32, true, "", ""},
  {"MainWindow", "持仓钮", "button", "我的持仓", 680, 826, 80, 28, true, "", ""},
  {"MainWindow", "持仓标签", "label", "", 768, 826, 144, 28, true, "", ""},
  {"MainWindow", "指标钮", "button", "风险指标", 920, 828, 80, 28, true, "", ""},
  {"PositionsWindow", "持仓表格", "advanced grid", "", 8, 8, 920, 368, true, "", ""},
  {"PositionsWindow", "代码框", "edit box", "", 8, 392, 96, 32, true, "", ""},
  {"PositionsWindow", "份额框", "edit box", "", 112, 392, 96, 32, true, "", ""},
  {"PositionsWindow", "净值框", "edit box", "", 216, 392, 96, 32, true, "", ""},
  {"PositionsWindow", "日期框", "edit box", "", 320, 392, 112, 32, true, "", ""},
  {"PositionsWindow", "买入钮", "button", "买入", 448, 392, 64, 32, true, "", ""},
  {"PositionsWindow", "卖出钮", "button", "卖出", 520, 392, 64, 32, true, "", ""},
  {"PositionsWindow", "删除持仓钮", "button", "删除", 592, 392, 64, 32, true, "", ""},
  {"PositionsWindow", "刷新持仓钮", "button", "刷新", 664, 392, 64, 32, true, "", ""},
  {"PositionsWindow", "导出持仓钮", "button", "导出", 736, 392, 56, 32, true, "", ""},
  {"PositionsWindow", "费用框", "edit box", "", 8, 432, 96, 32, true, "", ""},
  {"PositionsWindow", "金额框", "edit box", "", 112, 432, 96, 32, true, "", ""},
  {"PositionsWindow", "现金分红钮", "button", "现金分红", 216, 432, 96, 32, true, "", ""},
  {"PositionsWindow", "红利再投钮", "button", "红利再投", 320, 432, 96, 32, true, "", ""},
  {"PositionsWindow", "持仓状态", "label", "", 8, 472, 920, 32, true, "", ""},
  {"FiguresWindow", "指标表格", "advanced grid", "", 8, 8, 704, 96, true, "", ""},
  {"FiguresWindow", "指标说明", "label", "", 8, 120, 704, 32, true, "", ""},
};

// Board positions in order: button number and design caption.
const char kBoardPositions[] =
    "1 工程建设; 2 交运设备; 3 农牧饲渔; 4 煤炭采选; 5 食品饮料; 6 电子信息; 7 通讯行业; "
    "8 房地产; 9 塑胶制品; 18 家电行业; 17 仪器仪表; 16 电子元件; 15 医药制造; 14 化纤行业; "
    "13 券商信托; 12 保险; 11 银行; 10 酿酒行业; 27 有色金属; 26 钢铁行业; 25 航天航空; "
    "24 汽车行业; 23 军工; 22 新能源; 21 节能环保; 20 AH股; 19 网络游戏; 36 化工原料; "
    "35 稀缺资源; 34 新材料; 33 转债标的; 32 QFII重仓; 31 基金重仓; 30 材料行业; 29 化工行业; "
    "28 机械行业; 45 黄金概念; 44 生物疫苗; 43 机构重仓; 42 物联网; 41 基本金属; 40 股权激励; "
    "39 预盈预增; 38 云计算; 37 长江三角; 54 融资融券; 53 央视5_; 52 中药; 51 智慧城市; "
    "50 北斗导航; 49 大数据; 48 创业成份; 47 智能机器; 46 智能穿戴; 63 在线教育; 62 苹果概念; "
    "61 国家安防; 60 医疗器械; 59 蓝宝石; 58 病毒防治; 57 燃料电池; 56 国企改革; 55 基因测序; "
    "72 小金属; 71 国产软件; 70 充电桩; 69 无人机; 68 沪股通; 67 一带一路; 66 5G概念; "
    "65 证金持股; 64 海绵城市; 81 医疗行业; 80 环保工程; 79 化肥行业; 78 贵金属; 77 安防设备; "
    "76 软件服务; 75 金属制品; 74 人工智能; 73 深股通; 90 精准医疗; 89 大飞机; 88 MSCI中国; "
    "87 养老金; 86 区块链; 85 工业互联; 84 OLED; 83 电子竞技; 82 华为概念; 99 边缘计算; "
    "98 单抗概念; 97 标准普尔; 96 光刻胶; 95 国产芯片; 94 无线耳机; 93 白酒; 92 CRO; 91 云游戏; "
    "108 专用设备; 107 氮化镓; 106 半导体; 105 数据中心; 104 中芯概念; 103 网红直播; "
    "102 无线充电; 101 航天概念; 100 生物识别; 109 备用1; 110 备用2; 111 备用3; 116 备用4; "
    "117 备用5; 118 备用6; 119 备用7; 120 备用8; 121 备用9; 122 备用10; 123 备用11; 124 备用12";
// clang-format on

std::string Caption(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title().toStdString();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
  if (auto* table = qobject_cast<QTableView*>(widget)) {
    // A list view's headers; a grid's come from its own design, checked elsewhere.
    if (widget->property("controlKind").toString() != "list view") return "";
    std::string headers;
    for (int c = 0; c < table->model()->columnCount(); ++c) {
      if (c > 0) headers += "|";
      headers += table->model()->headerData(c, Qt::Horizontal).toString().toStdString();
    }
    return headers;
  }
  return "";
}

class WindowsLayoutTest : public ::testing::Test {
 protected:
  ui::WindowView* View(const std::string& window) {
    for (ui::WindowView* view : {&main_, &board_, &side_, &support_, &positions_, &figures_}) {
      if (view->objectName().toStdString() == window) return view;
    }
    return nullptr;
  }

  app_test::AppFixture f_;
  ui::WindowView main_{f_.app.main_window()};
  ui::WindowView board_{f_.app.board_window()};
  ui::WindowView side_{f_.app.side_tools_window()};
  ui::WindowView support_{f_.app.support_window()};
  ui::WindowView positions_{f_.app.positions_window()};
  ui::WindowView figures_{f_.app.figures_window()};
  ui::WindowView nav_chart_{f_.app.nav_chart_window()};
  ui::WindowView plans_{f_.app.plans_window()};
  ui::WindowView analysis_{f_.app.analysis_window()};
  ui::WindowView import_{f_.app.import_window()};
};

TEST_F(WindowsLayoutTest, WindowsHaveTheirClientSizesAndEmptyTitles) {
  struct Size {
    const char* window;
    int width, height;
  };
  for (const Size& s : {Size{"MainWindow", 1564, 859}, Size{"BoardWindow", 909, 663},
                        Size{"SideToolsWindow", 617, 209}, Size{"SupportWindow", 631, 376}}) {
    ui::WindowView* view = View(s.window);
    ASSERT_NE(nullptr, view) << s.window;
    EXPECT_EQ(QSize(s.width, s.height), view->size()) << s.window;
    EXPECT_EQ(QString(), view->windowTitle()) << s.window;
    EXPECT_FALSE(view->isVisible()) << s.window;
  }
  EXPECT_EQ(QSize(936, 800), positions_.size());
  EXPECT_EQ(QString("我的持仓"), positions_.windowTitle());
  EXPECT_FALSE(positions_.isVisible());
  EXPECT_FALSE(f_.app.positions_window().Modal());
  EXPECT_EQ(QSize(720, 160), figures_.size());
  EXPECT_EQ(QString("风险指标"), figures_.windowTitle());
  EXPECT_FALSE(figures_.isVisible());
  const std::pair<const char*, const char*> hints[] = {
      {"代码框", "基金代码"}, {"份额框", "份额"}, {"净值框", "成交净值"}, {"日期框", "日期"},
      {"费用框", "手续费"},   {"金额框", "金额"}, {"费率框", "费率%"}};
  for (const auto& [name, hint] : hints) {
    EXPECT_EQ(QString(hint),
              qobject_cast<QLineEdit*>(positions_.ControlWidget(name))->placeholderText());
  }
  EXPECT_EQ(QSize(936, 456), plans_.size());
  EXPECT_EQ(QString("定投计划"), plans_.windowTitle());
  EXPECT_FALSE(f_.app.plans_window().Modal());
  const std::pair<const char*, const char*> plan_hints[] = {{"定投代码框", "基金代码"},
                                                            {"定投金额框", "每期金额"},
                                                            {"定投费率框", "费率%"},
                                                            {"开始日期框", "开始日期"},
                                                            {"结束日期框", "结束日期，可不填"}};
  for (const auto& [name, hint] : plan_hints) {
    QWidget* box = plans_.ControlWidget(name);
    EXPECT_EQ(QString(hint), qobject_cast<QLineEdit*>(box)->placeholderText());
    EXPECT_EQ(QString(hint), box->accessibleName());
  }
  EXPECT_EQ(QSize(960, 720), analysis_.size());
  EXPECT_EQ(QString("收益分析"), analysis_.windowTitle());
  EXPECT_FALSE(f_.app.analysis_window().Modal());
  for (const auto& [name, accessible] : {std::pair{"收益日历", "收益日历"},
                                         {"月度收益表格", "月度收益"},
                                         {"资产画板", "总资产与投入本金走势图"}}) {
    EXPECT_EQ(QString(accessible), analysis_.ControlWidget(name)->accessibleName());
  }
  EXPECT_EQ(QSize(1000, 560), import_.size());
  EXPECT_EQ(QString("导入预览"), import_.windowTitle());
  EXPECT_FALSE(f_.app.import_window().Modal());
  for (const auto& [name, hint] :
       {std::pair{"卖出费率框", "卖出费率%"}, std::pair{"快照日期框", "快照日期"}}) {
    QWidget* box = import_.ControlWidget(name);
    EXPECT_EQ(QString(hint), qobject_cast<QLineEdit*>(box)->placeholderText());
    EXPECT_EQ(QString(hint), box->accessibleName());
  }
}

TEST_F(WindowsLayoutTest, EveryControlHasItsDesignNameKindCaptionPlaceAndVisibility) {
  for (const Expected& e : kControls) {
    SCOPED_TRACE(std::string(e.window) + " " + e.name);
    ui::WindowView* view = View(e.window);
    ASSERT_NE(nullptr, view);
    QWidget* widget = view->ControlWidget(e.name);
    ASSERT_NE(nullptr, widget);
    EXPECT_EQ(e.kind, widget->property("controlKind").toString().toStdString());
    EXPECT_EQ(e.caption, Caption(widget));
    EXPECT_EQ(QRect(e.left, e.top, e.width, e.height), widget->geometry());
    EXPECT_EQ(e.visible, !widget->isHidden());
    const std::string parent = widget->parentWidget() == view->Content()
                                   ? std::string()
                                   : widget->parentWidget()->objectName().toStdString();
    EXPECT_EQ(e.inside, parent);
    EXPECT_EQ(e.tip, widget->toolTip().toStdString());
  }
}

TEST_F(WindowsLayoutTest, BoardButtonsFollowThePositionOrderAndSparesFromThirdAreHidden) {
  std::istringstream entries(kBoardPositions);
  std::string entry;
  int k = 0;
  while (std::getline(entries, entry, ';')) {
    ++k;
    std::istringstream fields(entry);
    int number = 0;
    std::string caption;
    fields >> number >> caption;
    SCOPED_TRACE("position " + std::to_string(k));
    QWidget* widget = board_.ControlWidget("按钮" + std::to_string(number));
    ASSERT_NE(nullptr, widget);
    const int row = (k - 1) / 9, column = (k - 1) % 9;
    const int lefts[] = {10, 111, 211, 311, 411, 511, 611, 711, 811};
    EXPECT_EQ(QRect(lefts[column], 8 + 40 * row, 90, 38), widget->geometry());
    EXPECT_EQ(caption, Caption(widget));
    EXPECT_EQ(k <= 110, !widget->isHidden());
  }
  EXPECT_EQ(120, k);
  // 120 positions, four period buttons and two labels.
  EXPECT_EQ(126u, f_.app.board_window().Controls().size());
}

TEST_F(WindowsLayoutTest, GridsShowTheirDesignColumnsWithRowZeroAsHeader) {
  struct GridDesign {
    const char* name;
    int rows;  // data rows
    std::vector<std::string> headers;
    std::vector<int> widths;
  };
  const std::vector<std::string> fund_headers = {
      "基金名称", "基金代码", "基金类型", "日期",      "净值",      "日增长率",
      "近1周",    "近1月",    "近3月",    "近6月",     "今年来",    "近一年",
      "近2年",    "近3年",    "规模(亿)", "基金评级",  "任期回报",  "任期年限",
      "标准差1",  "标准差2",  "标准差3",  "夏普比率1", "夏普比率2", "夏普比率3"};
  std::vector<int> fund_widths = {160, 55, 60, 75, 50, 60, 50, 50};
  fund_widths.resize(24, 60);
  const GridDesign grids[] = {
      {"高级表格1", 20, fund_headers, fund_widths},
      {"高级表格2", 2, fund_headers, fund_widths},
      {"高级表格5", 10, {"股票名称", "代码", "占比"}, {64, 48, 48}},
      {"高级表格6", 10, {"股票名称", "代码", "占比"}, {64, 48, 48}},
  };
  for (const GridDesign& g : grids) {
    SCOPED_TRACE(g.name);
    auto* table = qobject_cast<QTableView*>(main_.ControlWidget(g.name));
    ASSERT_NE(nullptr, table);
    EXPECT_EQ(g.rows, table->model()->rowCount());
    ASSERT_EQ(static_cast<int>(g.headers.size()), table->model()->columnCount());
    for (int c = 0; c < table->model()->columnCount(); ++c) {
      EXPECT_EQ(g.headers[c],
                table->model()->headerData(c, Qt::Horizontal).toString().toStdString());
      EXPECT_EQ(g.widths[c], table->columnWidth(c)) << c;
    }
  }
}

TEST_F(WindowsLayoutTest, NewControlsStayInsideTheirWindowsAndClearOfTheOthers) {
  // Each control of the two windows inside its window and clear of the others; the buttons under
  // the chart clear of every main-window control, the period buttons above them included.
  for (const auto& [view, only] :
       {std::pair{&positions_, ""}, std::pair{&figures_, ""}, std::pair{&nav_chart_, ""},
        std::pair{&plans_, ""}, std::pair{&main_, "指标钮"}, std::pair{&main_, "提醒钮"}}) {
    const auto widgets = view->Content()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* a : widgets) {
      if (a->objectName().isEmpty() || (*only != 0 && a->objectName() != only)) continue;
      EXPECT_TRUE(QRect(QPoint(), view->size()).contains(a->geometry()));
      for (QWidget* b : widgets) {
        EXPECT_TRUE(a == b || b->isHidden() || !a->geometry().intersects(b->geometry()))
            << a->objectName().toStdString() << " " << b->objectName().toStdString();
      }
    }
  }
}

TEST_F(WindowsLayoutTest, PopupMenusCarryTheirItems) {
  struct Menu {
    const char* name;
    std::vector<std::string> items;
  };
  const Menu menus[] = {{"菜单", {"加入对比", "加入自选基金", "加入持仓", "添加提醒", "净值走势"}},
                        {"菜单1", {"删除对比"}},
                        {"菜单2", {"加入自选股票"}},
                        {"菜单3", {"删除自选", "净值走势"}}};
  EXPECT_EQ(4u, f_.app.main_window().Menus().size());
  for (const Menu& m : menus) {
    ui::PopupMenu* menu = f_.app.main_window().FindMenu(m.name);
    ASSERT_NE(nullptr, menu) << m.name;
    std::vector<std::string> items;
    for (int i = 0; i < menu->ItemCount(); ++i) items.push_back(menu->Item(i).caption);
    EXPECT_EQ(m.items, items) << m.name;
  }
}

}  // namespace
