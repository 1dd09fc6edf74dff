// The board window and the search list as the user sees them, against the simulated portal:
// the ranking's captions on the shown buttons, a board clicked with the mouse, and pictures of
// both (board_window.png and search_list.png beside the test program) for a look by eye.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "sim/board_ranking.h"
#include "sim/server.h"
#include "ui/qt/window_view.h"

namespace {

class BoardWindowViewTest : public ::testing::Test {
 protected:
  BoardWindowViewTest() {
    sim::PortalSimOptions options;
    options.market.funds = 400;
    portal_ = std::make_unique<sim::PortalSim>(options);
    EXPECT_GT(portal_->Start(), 0);
    app::ConfigFile config(paths_.run_dir.string());
    for (const char* key : {"PORTAL_MAIN", "PORTAL_API", "PORTAL_SUGGEST"}) {
      config.Write("门户", key, portal_->BaseUrl());
    }
    app_ = std::make_unique<app::App>(paths_, dialogs_, ui_thread_, clock_);
    shell::BindEvents(*app_, features_);
    main_view_ = std::make_unique<ui::WindowView>(app_->main_window());
    board_view_ = std::make_unique<ui::WindowView>(app_->board_window());
    main_view_->show();
  }

  QPushButton* BoardButton(int position) {
    const int n = app::BoardWindow::ButtonAt(position);
    return qobject_cast<QPushButton*>(board_view_->ControlWidget("按钮" + std::to_string(n)));
  }
  static void Save(QWidget& widget, const char* name) {
    QCoreApplication::processEvents();
    const QString path = QCoreApplication::applicationDirPath() + "/" + name;
    EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
  }

  std::unique_ptr<sim::PortalSim> portal_;
  test_support::TempDir dir_;
  app::AppPaths paths_ = app_test::TestPaths(dir_.path());
  test_support::RecordingDialogs dialogs_;
  test_support::ManualUiThread ui_thread_;
  test_support::FixedClock clock_{base::DateTime{2021, 8, 20, 15, 0, 0}};
  std::unique_ptr<app::App> app_;
  shell::Features features_;  // made after the App, gone before it
  std::unique_ptr<ui::WindowView> main_view_;
  std::unique_ptr<ui::WindowView> board_view_;
};

TEST_F(BoardWindowViewTest, LoadedRankingShowsOnEveryButtonAndABoardClickLoadsItsFunds) {
  auto* open = qobject_cast<QPushButton*>(main_view_->ControlWidget("选择板块钮"));
  ASSERT_NE(nullptr, open);
  QTest::mouseClick(open, Qt::LeftButton);
  app_test::Settle(*app_, ui_thread_);
  ASSERT_TRUE(board_view_->isVisible());
  EXPECT_FALSE(open->isEnabled());

  // The ranking the portal serves, in its order.
  const std::vector<sim::BoardYields> ranked = sim::RankBoards(portal_->market(), "SYL_Q");
  ASSERT_GE(ranked.size(), 120u);
  for (int k = 1; k <= 120; ++k) {
    QPushButton* button = BoardButton(k);
    ASSERT_NE(nullptr, button) << k;
    EXPECT_TRUE(button->isVisible()) << k;
    const QStringList lines = button->text().split('\n');
    ASSERT_EQ(2, lines.size()) << k;
    EXPECT_EQ(ranked[k - 1].board->name, lines[0].trimmed().toStdString()) << k;
    EXPECT_TRUE(lines[1].endsWith('%')) << k;
  }
  Save(*board_view_, "board_window.png");

  const std::string name = ranked[9].board->name;
  QTest::mouseClick(BoardButton(10), Qt::LeftButton);
  app_test::Settle(*app_, ui_thread_);
  EXPECT_FALSE(board_view_->isVisible());
  EXPECT_TRUE(open->isEnabled());
  EXPECT_EQ(0, main_view_->windowTitle().toStdString().rfind(name + "板块加载完毕，共", 0))
      << main_view_->windowTitle().toStdString();
  auto* table = qobject_cast<QTableView*>(main_view_->ControlWidget("高级表格1"));
  ASSERT_NE(nullptr, table);
  EXPECT_NE("", table->model()->data(table->model()->index(0, 1)).toString().toStdString());
}

TEST_F(BoardWindowViewTest, SearchListDropsDownOverTheMainWindow) {
  app_->main_window().搜索框.FocusGained();
  app_->main_window().搜索框.SetText("华夏");
  app_test::Settle(*app_, ui_thread_);
  QWidget* list = main_view_->ControlWidget("超级列表框1");
  ASSERT_NE(nullptr, list);
  EXPECT_TRUE(list->isVisible());
  const int rows = app_->main_window().超级列表框1.RowCount();
  ASSERT_GT(rows, 0);
  EXPECT_EQ((rows + 1) * 32, list->height());
  Save(*main_view_, "search_list.png");
}

}  // namespace
