// The windows on screens of different sizes: at the design size or larger nothing changes; on
// a smaller screen the window takes the screen's area and its content scrolls, every control
// still within reach of the mouse.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "app/app_fixture.h"
#include "ui/qt/window_view.h"

namespace {

QScreen* Screen(const char* name) {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->name() == name) return screen;
  }
  ADD_FAILURE() << "no screen " << name;
  return QGuiApplication::primaryScreen();
}

bool ScrollBarsShown(const ui::WindowView& view) {
  return view.ScrollArea()->horizontalScrollBar()->isVisible() ||
         view.ScrollArea()->verticalScrollBar()->isVisible();
}

// A window is on the screen that holds it: placed at that screen's corner, then shown.
void ShowOn(ui::WindowView& view, const char* screen) {
  view.move(Screen(screen)->availableGeometry().topLeft());
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
}

class WindowFitTest : public ::testing::Test {
 protected:
  app_test::AppFixture f_;
  ui::WindowView main_{f_.app.main_window()};
  ui::WindowView board_{f_.app.board_window()};
  ui::WindowView side_{f_.app.side_tools_window()};
  ui::WindowView support_{f_.app.support_window()};
};

TEST_F(WindowFitTest, AtTheDesignSizeOrLargerTheWindowsKeepTheirClientSizesWithoutScrollBars) {
  struct Case {
    ui::WindowView* view;
    QSize size;
  };
  for (const Case& c : {Case{&main_, {1564, 859}}, Case{&board_, {909, 663}},
                        Case{&side_, {617, 209}}, Case{&support_, {631, 376}}}) {
    SCOPED_TRACE(c.view->objectName().toStdString());
    ShowOn(*c.view, "desktop");
    EXPECT_EQ(c.size, c.view->size());
    EXPECT_EQ(c.size, c.view->minimumSize());
    EXPECT_EQ(c.size, c.view->maximumSize());
    EXPECT_EQ(c.size, c.view->ScrollArea()->viewport()->size());
    EXPECT_FALSE(ScrollBarsShown(*c.view));
  }
  // The laptop screen has room for the three smaller windows.
  for (ui::WindowView* view : {&board_, &side_, &support_}) {
    view->hide();
    ShowOn(*view, "laptop");
    EXPECT_EQ(view->Content()->size(), view->size());
    EXPECT_FALSE(ScrollBarsShown(*view));
  }
}

TEST_F(WindowFitTest, OnASmallerScreenTheWindowTakesItsAreaAndTheFarCornerIsReachedByScrolling) {
  ShowOn(main_, "laptop");
  const QRect area = Screen("laptop")->availableGeometry();
  EXPECT_EQ(area.size(), main_.size());
  EXPECT_EQ(area.topLeft(), main_.pos());
  EXPECT_EQ(QSize(1564, 859), main_.Content()->size());
  QScrollBar* across = main_.ScrollArea()->horizontalScrollBar();
  QScrollBar* down = main_.ScrollArea()->verticalScrollBar();
  EXPECT_TRUE(across->isVisible());
  EXPECT_TRUE(down->isVisible());

  // 按钮7 (近3年) is the control nearest the far corner: out of sight until scrolled to.
  QWidget* button = main_.ControlWidget("按钮7");
  ASSERT_NE(nullptr, button);
  const QPoint centre = button->rect().center();
  QWidget* viewport = main_.ScrollArea()->viewport();
  EXPECT_FALSE(viewport->rect().contains(button->mapTo(viewport, centre)));
  across->setValue(across->maximum());
  down->setValue(down->maximum());
  const QPoint seen = button->mapTo(viewport, centre);
  ASSERT_TRUE(viewport->rect().contains(seen));
  // The content's far corner is in view: nothing is cut off.
  EXPECT_TRUE(viewport->rect().contains(main_.Content()->mapTo(viewport, QPoint(1563, 858))));
  // A click where the button now shows reaches it.
  int clicks = 0;
  f_.app.main_window().按钮7.on_click = [&] { ++clicks; };
  QWidget* under = viewport->childAt(seen);
  ASSERT_EQ(button, under);
  QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(viewport, seen));
  EXPECT_EQ(1, clicks);

  // Back on a screen with room, the window is its design size again without scroll bars.
  main_.move(0, 0);
  QCoreApplication::processEvents();
  ASSERT_EQ(Screen("desktop"), main_.screen());
  QCoreApplication::processEvents();
  EXPECT_EQ(QSize(1564, 859), main_.size());
  EXPECT_FALSE(ScrollBarsShown(main_));
}

TEST_F(WindowFitTest, TheBoardWindowScrollsOnAScreenSmallerThanItself) {
  ShowOn(board_, "small");
  EXPECT_EQ(QSize(800, 600), board_.size());
  EXPECT_TRUE(board_.ScrollArea()->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(board_.ScrollArea()->verticalScrollBar()->isVisible());
  QWidget* label = board_.ControlWidget("标签1");  // the right-most control, at 624 + 272
  ASSERT_NE(nullptr, label);
  board_.ScrollArea()->ensureWidgetVisible(label, 0, 0);
  const QWidget* viewport = board_.ScrollArea()->viewport();
  EXPECT_TRUE(
      viewport->rect().contains(QRect(label->mapTo(viewport, QPoint(0, 0)), label->size())));
}

}  // namespace

// A window opened from the main window shows over its middle, wherever the main window is, and
// stays whole on the main window's screen; without a window manager it would open at 0,0.
TEST(WindowPlaceTest, OpenedWindowsAreCentredOnTheMainWindowWithinItsScreen) {
  app_test::AppFixture f;
  ui::WindowView main(f.app.main_window());
  ui::WindowView positions(f.app.positions_window(), &main);
  ShowOn(main, "desktop");
  const QRect desktop = Screen("desktop")->availableGeometry();
  for (const QPoint at : {QPoint(40, 30), QPoint(300, 100), QPoint(1000, 600)}) {
    SCOPED_TRACE(at.x());
    main.move(at);
    f.app.positions_window().Hide();
    f.app.positions_window().Show();  // each opening, not only the first
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&positions));
    const QRect placed = positions.frameGeometry();
    if (desktop.contains(main.frameGeometry())) {
      EXPECT_LE((placed.center() - main.frameGeometry().center()).manhattanLength(), 2);
    } else {
      EXPECT_EQ(desktop.bottomRight(), placed.bottomRight());
    }
  }
}

// The grids of 我的持仓 and 基金提醒 show every column within their frame, with a vertical scroll
// bar when their rows overflow, never a horizontal one.
TEST(WindowPlaceTest, GridColumnsFitTheirFramesWhenTheRowsOverflow) {
  app_test::AppFixture f;
  for (ui::Window* window :
       std::initializer_list<ui::Window*>{&f.app.positions_window(), &f.app.alerts_window(),
                                          &f.app.plans_window(), &f.app.analysis_window()}) {
    ui::WindowView view(*window);
    window->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    for (QTableView* table : view.findChildren<QTableView*>()) {
      SCOPED_TRACE(table->objectName().toStdString());
      auto& grid = dynamic_cast<ui::Grid&>(*window->FindControl(table->objectName().toStdString()));
      grid.SetRowCount(60);
      EXPECT_TRUE(QTest::qWaitFor([&] { return table->verticalScrollBar()->isVisible(); }));
      EXPECT_FALSE(table->horizontalScrollBar()->isVisible());
    }
    window->Hide();
  }
}
