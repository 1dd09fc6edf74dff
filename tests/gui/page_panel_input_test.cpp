// The shareholder page panel on a shown main window, driven by mouse events delivered where
// the window system would deliver them: to the widget under the pointer, not to a named one.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <chrono>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "sim/server.h"
#include "ui/qt/window_view.h"

namespace {

// The deepest widget under a point of the window, as a mouse event there would reach it.
QWidget* WidgetAt(QWidget& window, QPoint at) {
  QWidget* widget = QApplication::widgetAt(window.mapToGlobal(at));
  return widget ? widget : window.childAt(at);
}

// A click handed to the window system's entry, which finds the receiver as it does for the
// pointer: the widget on top at that point, with the press's implicit grab and, for the right
// button, the context-menu event.
void ClickAt(QWidget& window, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(window.windowHandle(), button, {}, at);
}

QPoint CentreIn(QWidget& window, QWidget* control) {
  return control->mapTo(&window, control->rect().center());
}

TEST(PagePanelInputTest, CloseMarkHidesThePageAndTheCoveredControlsAnswerAgain) {
  sim::PortalSimOptions options;
  options.market.funds = 20;
  sim::PortalSim portal(options);
  ASSERT_GT(portal.Start(), 0);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  app_test::Program f(dir.path());
  app::App& app = f.app;
  shell::Features features;
  shell::BindEvents(app, features);
  ui::WindowView view(app.main_window());
  app.main_window().Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

  app::MainWindow& main = app.main_window();
  main.高级表格5.SetText(1, 0, "牧原股份");
  main.高级表格5.SetText(1, 1, "000436");
  QCoreApplication::processEvents();
  auto* holdings = qobject_cast<QTableView*>(view.ControlWidget("高级表格5"));
  ASSERT_NE(nullptr, holdings);
  const QRect cell = holdings->visualRect(holdings->model()->index(0, 0));
  ClickAt(view, holdings->viewport()->mapTo(&view, cell.center()));

  QWidget* panel = view.ControlWidget("外形框1");
  ASSERT_FALSE(panel->isHidden());
  auto* browser = view.ControlWidget("超文本浏览框1")->findChild<QWebEngineView*>();
  ASSERT_NE(nullptr, browser);
  QSignalSpy loaded(browser, &QWebEngineView::loadFinished);
  ASSERT_TRUE(loaded.wait(20000));
  QTest::qWait(200);

  // The mark and the search button it covered, in window pixels.
  QWidget* mark = view.ControlWidget("图片框1");
  const QPoint mark_at = CentreIn(view, mark);
  QWidget* search_button = view.ControlWidget("选择板块钮");
  const QPoint button_at = CentreIn(view, search_button);
  EXPECT_NE(search_button, WidgetAt(view, button_at));
  EXPECT_EQ(mark, WidgetAt(view, mark_at));

  ClickAt(view, mark_at);
  EXPECT_TRUE(panel->isHidden());
  EXPECT_FALSE(main.外形框1.Visible());
  EXPECT_FALSE(main.超文本浏览框1.Visible());

  int board_clicks = 0;
  main.选择板块钮.on_click = [&] { ++board_clicks; };
  EXPECT_EQ(search_button, WidgetAt(view, button_at));
  ClickAt(view, button_at);
  EXPECT_EQ(1, board_clicks);

  // A right-click on the fund grid under the panel pops its menu up.
  auto* funds = qobject_cast<QTableView*>(view.ControlWidget("高级表格1"));
  const QPoint grid_at = funds->viewport()->mapTo(&view, QPoint(1200, 100) - QPoint(8, 8));
  QString popped;
  QTimer::singleShot(0, [&popped] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      popped = menu->objectName();
      menu->close();
    }
  });
  ClickAt(view, grid_at, Qt::RightButton);
  EXPECT_EQ("菜单", popped);
}

}  // namespace
