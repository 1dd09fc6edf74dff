// The NAV history window on real widgets: opened from the fund grid's menu, a period button
// clicked, the mouse moved over the chart and the read-out labels read as a screen reader would.

#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cstdlib>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "sim/server.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/window_view.h"

namespace {

QString LabelText(ui::WindowView& view, const char* name) {
  auto* label = qobject_cast<QLabel*>(view.ControlWidget(name));
  EXPECT_NE(nullptr, label) << name;
  return label == nullptr ? QString() : label->text();
}

void MoveMouse(QWidget* panel, QPointF at) {
  // Sent directly: the offscreen platform moves no cursor for QTest::mouseMove.
  QMouseEvent move(QEvent::MouseMove, at, panel->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(panel, &move);
  QCoreApplication::processEvents();
}

TEST(NavChartViewTest, APeriodClickedAndTheMouseOverTheChartShowTheDaysFigures) {
  sim::PortalSimOptions options;
  options.market.funds = 12;
  sim::PortalSim portal(options);
  ASSERT_GT(portal.Start(), 0);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  app_test::Program program(dir.path());
  app::App& app = program.app;
  shell::Features features;
  shell::BindEvents(app, features);
  app::NavChartWindow& window = app.nav_chart_window();
  const ui::Rect& area = window.净值画板.Geometry();
  window.净值画板.SetCanvas(std::make_unique<ui::QtCanvas>(area.width, area.height));
  ui::WindowView main_view(app.main_window());
  ui::WindowView view(window, &main_view);

  // The fund grid's first row shows the fund; its menu opens the window.
  const sim::Fund& fund = portal.market().funds()[1];
  app.shown_funds().Write(app.loads().Start(app::LoadTarget::kFundGrid), 1, {fund.code, fund.name});
  app.main_window().高级表格1.SetCurrentRow(1);
  app.main_window().菜单.FindItem("净值走势")->on_click();
  program.Settle();
  ASSERT_TRUE(view.isVisible());
  EXPECT_EQ(QString::fromStdString("净值走势 - " + fund.name + "(" + fund.code + ")"),
            view.windowTitle());
  EXPECT_EQ("净值表格", view.ControlWidget("净值表格")->accessibleName());
  EXPECT_EQ("净值走势图", view.ControlWidget("净值画板")->accessibleName());

  auto* month = qobject_cast<QPushButton*>(view.ControlWidget("近1月钮"));
  ASSERT_NE(nullptr, month);
  QTest::mouseClick(month, Qt::LeftButton);
  EXPECT_FALSE(month->isEnabled());
  const ui::Grid& table = window.净值表格;
  const int rows = table.RowCount() - 1;
  ASSERT_GT(rows, 15);
  ASSERT_LT(rows, 25);
  EXPECT_EQ(rows, qobject_cast<QTableView*>(view.ControlWidget("净值表格"))->model()->rowCount());
  EXPECT_TRUE(LabelText(view, "区间涨跌").startsWith("区间涨跌 "));

  // At the right end of the chart the newest day, at the left end the oldest of the month.
  QWidget* panel = view.ControlWidget("净值画板");
  const QImage before = panel->grab().toImage();
  struct Case {
    QPointF at;
    int row;
  };
  for (const Case& c : {Case{QPointF(area.width - 16, 150), 1}, Case{QPointF(64, 150), rows}}) {
    MoveMouse(panel, c.at);
    const auto text = [&](int column) { return QString::fromStdString(table.Text(c.row, column)); };
    EXPECT_EQ("日期 " + text(app::kNavDay), LabelText(view, "日期读数"));
    EXPECT_EQ("单位净值 " + text(app::kNavUnit), LabelText(view, "单位净值读数"));
    EXPECT_EQ("累计净值 " + text(app::kNavAccumulated), LabelText(view, "累计净值读数"));
    EXPECT_TRUE(LabelText(view, "日增长率读数").startsWith("日增长率 "));
    EXPECT_TRUE(LabelText(view, "分红送配读数").startsWith("分红送配"));
  }
  // The cross-hair is drawn over the picture.
  EXPECT_NE(before, panel->grab().toImage());
  const char* shots = std::getenv("FUNDVIEW_SCREENSHOTS");
  if (shots != nullptr && *shots != '\0') view.grab().save(QString(shots) + "/nav_chart.png");
}

}  // namespace
