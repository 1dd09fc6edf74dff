// The windows as the user drives them: clicks, typing, pictures, menus, modal windows and
// closing, with the shell's handlers bound.

#include "ui/qt/window_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "ui/qt/panel_widgets.h"
#include "ui/qt/qt_services.h"

namespace {

template <class W>
W* Find(ui::WindowView& view, const char* name) {
  auto* widget = qobject_cast<W*>(view.ControlWidget(name));
  EXPECT_NE(nullptr, widget) << name;
  return widget;
}

class WindowViewTest : public ::testing::Test {
 protected:
  WindowViewTest() { shell::BindEvents(f_.app, features_); }

  shell::Features features_;
  app_test::AppFixture f_;
  app::MainWindow& main_ = f_.app.main_window();
  ui::WindowView main_view_{main_};
  ui::WindowView board_view_{f_.app.board_window()};
  ui::WindowView side_view_{f_.app.side_tools_window()};
  ui::WindowView support_view_{f_.app.support_window()};
};

TEST_F(WindowViewTest, BoxesFollowClicksAndProgramChangesInBothDirections) {
  auto* load_all = Find<QCheckBox>(main_view_, "选择框1");
  load_all->click();
  EXPECT_TRUE(main_.选择框1.Checked());
  EXPECT_EQ("真", f_.app.config().Read("加载数据", "是否全部加载"));
  main_.选择框1.SetChecked(false);
  EXPECT_FALSE(load_all->isChecked());

  int ranking_clicks = 0;
  main_.单选框3.on_click = [&] { ++ranking_clicks; };
  Find<QRadioButton>(main_view_, "单选框1")->click();
  Find<QRadioButton>(main_view_, "单选框3")->click();
  EXPECT_EQ(1, ranking_clicks);
  EXPECT_FALSE(Find<QRadioButton>(main_view_, "单选框1")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(main_view_, "单选框3")->isChecked());
  EXPECT_TRUE(main_.单选框3.Checked());
  EXPECT_FALSE(main_.单选框1.Checked());

  // A disabled button raises no click.
  int board_clicks = 0;
  main_.选择板块钮.on_click = [&] { ++board_clicks; };
  main_.选择板块钮.SetEnabled(false);
  QTest::mouseClick(Find<QPushButton>(main_view_, "选择板块钮"), Qt::LeftButton);
  main_.选择板块钮.SetEnabled(true);
  QTest::mouseClick(Find<QPushButton>(main_view_, "选择板块钮"), Qt::LeftButton);
  EXPECT_EQ(1, board_clicks);
}

TEST_F(WindowViewTest, SearchBoxReportsFocusTypingAndShowsProgramText) {
  auto* search = Find<QLineEdit>(main_view_, "搜索框");
  EXPECT_EQ(QColor(192, 192, 192), search->palette().color(QPalette::Text));
  std::vector<std::string> changes;
  int focus = 0;
  main_.搜索框.on_focus = [&] {
    ++focus;
    main_.搜索框.SetText("");
    main_.搜索框.SetTextColour(0);
  };
  main_.搜索框.on_changed = [&] { changes.push_back(main_.搜索框.Text()); };
  QFocusEvent focus_in(QEvent::FocusIn);
  QCoreApplication::sendEvent(search, &focus_in);
  EXPECT_EQ(1, focus);
  EXPECT_EQ(QString(), search->text());
  EXPECT_EQ(QColor(0, 0, 0), search->palette().color(QPalette::Text));
  QTest::keyClicks(search, "0005");
  EXPECT_EQ("0005", main_.搜索框.Text());
  EXPECT_EQ(std::vector<std::string>({"", "0", "00", "000", "0005"}), changes);
}

TEST_F(WindowViewTest, PicturesAreEmbeddedAndTheCloseMarkHidesThePagePanel) {
  struct Picture {
    ui::WindowView* view;
    const char* name;
    QSize size;
  };
  for (const Picture& p : {Picture{&main_view_, "图片框1", QSize(200, 200)},
                           Picture{&support_view_, "图片框1", QSize(280, 296)},
                           Picture{&support_view_, "图片框2", QSize(304, 296)}}) {
    QLabel* label = Find<QLabel>(*p.view, p.name);
    EXPECT_EQ(p.size, label->pixmap().size()) << p.name;
  }
  main_.外形框1.SetVisible(true);
  main_.超文本浏览框1.SetVisible(true);
  QWidget* panel = main_view_.ControlWidget("外形框1");
  EXPECT_FALSE(panel->isHidden());
  QTest::mousePress(main_view_.ControlWidget("图片框1"), Qt::LeftButton);
  EXPECT_TRUE(panel->isHidden());
  EXPECT_TRUE(main_view_.ControlWidget("超文本浏览框1")->isHidden());
  EXPECT_FALSE(main_.外形框1.Visible());
}

TEST_F(WindowViewTest, PageProcessIsStartedOnlyByTheFirstNavigation) {
  auto* viewer = static_cast<ui::HtmlViewerWidget*>(main_view_.ControlWidget("超文本浏览框1"));
  EXPECT_EQ(nullptr, viewer->Page());
  main_.超文本浏览框1.SetHeight(1264);
  EXPECT_EQ(1264, viewer->height());
  EXPECT_EQ(nullptr, viewer->Page());
}

TEST_F(WindowViewTest, GridEventsReachTheModelAndMenusOfferTheirItems) {
  main_.Show();
  main_.高级表格1.SetText(1, 0, "华夏成长");
  main_.高级表格1.SetText(2, 0, "易方达");
  QCoreApplication::processEvents();
  auto* table = Find<QTableView>(main_view_, "高级表格1");
  std::vector<std::string> events;
  main_.高级表格1.on_header_click = [&](int column) {
    events.push_back("header " + std::to_string(column));
  };
  main_.高级表格1.on_cell_event = [&](int row, int column) {
    events.push_back("cell " + std::to_string(row) + "," + std::to_string(column));
  };
  table->horizontalHeader()->sectionClicked(7);
  const QRect cell = table->visualRect(table->model()->index(1, 0));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(std::vector<std::string>({"header 7", "cell 2,0"}), events);
  EXPECT_EQ(2, main_.高级表格1.CurrentRow());

  // The right-click menu opens over the grid; choosing its second item runs that item.
  int added = 0;
  main_.菜单.Item(1).on_click = [&] { ++added; };
  QStringList shown;
  QTimer::singleShot(0, [&] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(nullptr, popup);
    for (QAction* action : popup->actions()) shown << action->text();
    popup->actions().at(1)->trigger();
    popup->close();
  });
  emit table->customContextMenuRequested(table->visualRect(table->model()->index(0, 0)).center());
  EXPECT_EQ(QStringList({"加入对比", "加入自选基金", "加入持仓", "添加提醒", "净值走势"}), shown);
  EXPECT_EQ(1, added);
  EXPECT_EQ(2, main_.高级表格1.CurrentRow());
}

TEST_F(WindowViewTest, SideToolsButtonWaitsForTheModalWindowThenShowsTheResults) {
  f_.app.side_tools_window().on_created = [&] {
    features_.side_tools->results().sign_in = "吾爱破解，签到成功";
    features_.side_tools->results().step = "刷步成功";
  };
  bool was_visible = false;
  QTimer::singleShot(0, [&] {
    was_visible = side_view_.isVisible();
    side_view_.close();
  });
  Find<QPushButton>(main_view_, "小功能钮")->click();
  EXPECT_TRUE(was_visible);
  EXPECT_FALSE(side_view_.isVisible());
  EXPECT_FALSE(f_.app.side_tools_window().Loaded());
  EXPECT_EQ("吾爱破解，签到成功", Find<QLabel>(main_view_, "标签5")->text().toStdString());
  EXPECT_EQ("刷步成功", Find<QLabel>(main_view_, "标签6")->text().toStdString());
}

TEST_F(WindowViewTest, ClosingTheBoardWindowDestroysItAndTitlesFollowTheModel) {
  f_.app.board_window().on_created = nullptr;  // no portal here to load a ranking from
  features_.funds->lists().BoardFreshClick = 1;
  f_.app.board_window().Show();
  EXPECT_TRUE(board_view_.isVisible());
  f_.app.board_window().PositionButton(1)->SetCaption("半导体");
  board_view_.close();
  EXPECT_FALSE(f_.app.board_window().Loaded());
  EXPECT_EQ(0, features_.funds->lists().BoardFreshClick);
  EXPECT_EQ("工程建设", Find<QPushButton>(board_view_, "按钮1")->text().toStdString());

  main_.SetTitle("1月涨幅榜");
  EXPECT_EQ(QString("1月涨幅榜"), main_view_.windowTitle());
}

TEST_F(WindowViewTest, CaptionsFromTheNetworkShowLiterally) {
  // Board names and fund names come from the portal: no markup, no shortcut markers.
  f_.app.board_window().PositionButton(1)->SetCaption("R&D 3.2%");
  main_.标签1.SetCaption("<b>基金</b>");
  auto* button = Find<QPushButton>(board_view_, "按钮1");
  EXPECT_EQ(QString("R&&D 3.2%"), button->text());
  auto* label = Find<QLabel>(main_view_, "标签1");
  EXPECT_EQ(Qt::PlainText, label->textFormat());
  EXPECT_EQ(QString("<b>基金</b>"), label->text());
}

// The program's own dispatcher: closing the main window while the side tools are open modally
// ends every event loop, the modal one too; 0 once everything was then torn down.
int CloseDuringAModalWindow() {
  {
    test_support::TempDir dir;
    test_support::RecordingDialogs dialogs;
    ui::QtUiThread ui_thread;
    test_support::FixedClock clock{base::DateTime{2021, 8, 8, 9, 5, 3}};
    app::App app(app_test::TestPaths(dir.path()), dialogs, ui_thread, clock);
    shell::Features features;
    shell::BindEvents(app, features);
    ui::WindowView main_view(app.main_window());
    ui::WindowView board_view(app.board_window());
    ui::WindowView side_view(app.side_tools_window());
    app.main_window().Show();
    app.board_window().Show();
    // The user closes the main window while the side tools are open modally.
    QTimer::singleShot(0, [&] { main_view.close(); });
    app.side_tools_window().ShowModal();
  }
  return 0;
}

TEST(MainWindowCloseDeathTest, ClosingTheMainWindowEndsTheProgramWithOtherWindowsOpen) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(CloseDuringAModalWindow()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
