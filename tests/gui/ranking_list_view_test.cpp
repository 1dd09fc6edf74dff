// A ranking list chosen on the shown main window reaches the fund grid's view: texts and
// change colours as the user sees them.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QRadioButton>
#include <QTableView>

#include "app/app_fixture.h"
#include "funds/fund_table.h"
#include "shell/bind_events.h"
#include "sim/server.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/window_view.h"

namespace {

TEST(RankingListViewTest, ClickedRankingShowsItsFundsWithColouredChanges) {
  sim::PortalSimOptions options;
  options.market.funds = 200;
  sim::PortalSim portal(options);
  ASSERT_GT(portal.Start(), 0);

  test_support::TempDir dir;
  const app::AppPaths paths = app_test::TestPaths(dir.path());
  app::ConfigFile(paths.run_dir.string()).Write("门户", "PORTAL_MAIN", portal.BaseUrl());
  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui_thread;
  test_support::FixedClock clock{base::DateTime{2021, 8, 20, 15, 0, 0}};
  app::App app(paths, dialogs, ui_thread, clock);
  shell::Features features;
  shell::BindEvents(app, features);
  ui::WindowView view(app.main_window());
  view.show();

  auto* radio = qobject_cast<QRadioButton*>(view.ControlWidget("单选框1"));
  ASSERT_NE(nullptr, radio);
  radio->click();
  app_test::Settle(app, ui_thread);
  QCoreApplication::processEvents();

  auto* table = qobject_cast<QTableView*>(view.ControlWidget("高级表格1"));
  ASSERT_NE(nullptr, table);
  const QAbstractItemModel* model = table->model();
  EXPECT_EQ("昨日涨幅榜", view.windowTitle().toStdString());
  EXPECT_EQ("基金名称", model->headerData(0, Qt::Horizontal).toString().toStdString());
  const ui::Grid& grid = app.main_window().高级表格1;
  ASSERT_EQ(grid.RowCount() - 1, model->rowCount());
  for (int row = 1; row <= 20; ++row) {
    for (int column : {0, 1, 5, 13}) {
      const QModelIndex index = model->index(row - 1, column);
      EXPECT_EQ(grid.Text(row, column), model->data(index).toString().toStdString());
      if (column >= 5) {
        EXPECT_EQ(ui::QtCanvas::ToQColor(grid.TextColour(row, column)),
                  model->data(index, Qt::ForegroundRole).value<QColor>())
            << row << "," << column;
      }
    }
  }
  // Yesterday's biggest gainer leads with a positive change, drawn red or blue.
  EXPECT_NE("", grid.Text(1, 1));
  const QColor top = model->data(model->index(0, 5), Qt::ForegroundRole).value<QColor>();
  EXPECT_TRUE(top == ui::QtCanvas::ToQColor(funds::kColourRed) ||
              top == ui::QtCanvas::ToQColor(funds::kColourBlue))
      << top.name().toStdString();
}

}  // namespace
