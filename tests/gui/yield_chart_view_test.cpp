// The yield comparison on the shown main window: two funds compared, a period button clicked,
// the chart panel redrawn and titled; the cross-hair read-out over the year's chart.

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "app/app_fixture.h"
#include "chart/yield_comparison.h"
#include "shell/bind_events.h"
#include "sim/server.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/window_view.h"

namespace {

// With FUNDVIEW_SCREENSHOTS naming a directory, the picture is saved there for a look.
void SaveScreenshot(const QImage& picture, const char* name) {
  const char* dir = std::getenv("FUNDVIEW_SCREENSHOTS");
  if (dir != nullptr && *dir != '\0') picture.save(QString(dir) + "/" + name);
}

TEST(YieldChartViewTest, PeriodButtonRedrawsTwoFundsAndTitlesTheChart) {
  sim::PortalSimOptions options;
  options.market.funds = 60;
  options.market.boards = 2;
  sim::PortalSim portal(options);
  ASSERT_GT(portal.Start(), 0);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  app_test::Program program(dir.path());
  app::App& app = program.app;
  app::MainWindow& main = app.main_window();
  const ui::Rect& area = main.画板1.Geometry();
  main.画板1.SetCanvas(std::make_unique<ui::QtCanvas>(area.width, area.height));
  shell::Features features;
  shell::BindEvents(app, features);
  ui::WindowView view(main);
  view.show();

  // Two funds compared, as the end of a detail load leaves them: the year's chart.
  features.funds->detail().current_code = portal.market().funds()[5].code;
  features.funds->detail().compared_code = portal.market().funds()[12].code;
  features.yield_chart->Refresh();
  program.Settle();
  QWidget* panel = view.ControlWidget("画板1");
  ASSERT_NE(nullptr, panel);
  const QImage year = panel->grab().toImage();

  // The cross-hair and read-out box over a day in the first half of the year.
  // Sent directly: the offscreen platform moves no cursor for QTest::mouseMove. The first move
  // places the box (which wipes the picture back to the chart), the second draws the cross-hair.
  for (const QPointF at : {QPointF(216, 176), QPointF(220, 180)}) {
    QMouseEvent move(QEvent::MouseMove, at, panel->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &move);
  }
  QCoreApplication::processEvents();
  const QImage hovered = panel->grab().toImage();
  EXPECT_NE(year, hovered);
  SaveScreenshot(hovered, "yield_chart_year.png");
  SaveScreenshot(view.grab().toImage(), "yield_chart_main_window.png");

  auto* month = qobject_cast<QPushButton*>(view.ControlWidget("按钮2"));
  ASSERT_NE(nullptr, month);
  EXPECT_EQ(QString("近1月"), month->text());
  QTest::mouseClick(month, Qt::LeftButton);
  program.Settle();
  QCoreApplication::processEvents();

  auto* title = qobject_cast<QLabel*>(view.ControlWidget("标签8"));
  ASSERT_NE(nullptr, title);
  EXPECT_EQ(QString("近1月收益率走势对比图"), title->text());
  const QImage after = panel->grab().toImage();
  EXPECT_NE(year, after);
  EXPECT_NE(hovered, after);
  EXPECT_TRUE(program.dialogs.shown.empty());
  SaveScreenshot(after, "yield_chart_month.png");
}

}  // namespace
