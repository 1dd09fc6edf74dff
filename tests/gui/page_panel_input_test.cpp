// The shareholder page panel on a real window of a private X server (Xvfb, as CTest runs it),
// driven by real input (xdotool): the page, shown by a process of its own, covers the panel
// inside the main window's own native window; the close mark stays above it and hides it; the
// controls it covered answer again. A page process missing, ending at once or silent leaves
// the reason in the panel instead.

#include <gtest/gtest.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "app/app_fixture.h"
#include "app/config_file.h"
#include "shell/bind_events.h"
#include "ui/qt/page_process.h"
#include "ui/qt/panel_widgets.h"
#include "ui/qt/window_view.h"

namespace {

// How long a wait for a state may take: a failsafe against a hang, never a speed assertion, so
// long enough for a machine that other processes load.
constexpr int kWaitMs = 30000;

// Every shareholder page is a page of one colour, rgb(40, 140, 70): the portal's base for pages
// is a data URL, so the page's address only adds text at its top-left corner, outside the panel.

// Whether `window` lies inside `ancestor` in the X server's window tree.
bool InsideX(xcb_window_t window, xcb_window_t ancestor) {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  while (window != 0 && window != ancestor) {
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
    window = tree ? tree->parent : 0;
    free(tree);
  }
  xcb_disconnect(connection);
  return window == ancestor;
}

class PagePanelWindowTest : public ::testing::Test {
 protected:
  PagePanelWindowTest() {
    shell::BindEvents(program_.app, features_);
    for (int row : {1, 2}) main_.高级表格5.SetText(row, 1, row == 1 ? "002714" : "300498");
    main_.Show();
  }
  void SetUp() override {
    ASSERT_EQ("xcb", QGuiApplication::platformName().toStdString()) << "run under xvfb-run";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  }

  QPoint At(const std::string& control, QPoint at) {
    return view_.ControlWidget(control)->mapToGlobal(at);
  }
  bool PageAt(QPoint p) {
    const QRgb c =
        QGuiApplication::primaryScreen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage().pixel(0, 0);
    return std::abs(qRed(c) - 40) + std::abs(qGreen(c) - 140) + std::abs(qBlue(c) - 70) <= 6;
  }
  // Whether `control` is shown, in a window the X server has exposed, and the page does not cover
  // `at` (in the control's coordinates): where a click on it would land on it.
  bool Reachable(const std::string& control, QPoint at) {
    QWidget* widget = view_.ControlWidget(control);
    const QWindow* window = widget->window()->windowHandle();
    return widget->isVisible() && window != nullptr && window->isExposed() &&
           widget->rect().contains(at) && !PageAt(widget->mapToGlobal(at));
  }
  // Real input waits until its target is reachable, then clicks it.
  void ClickWhenReachable(const std::string& control, QPoint at, const char* button = "1") {
    EXPECT_TRUE(QTest::qWaitFor([&] { return Reachable(control, at); }, kWaitMs)) << control;
    Click(At(control, at), button);
  }
  // Real input through the X server: it reaches whichever window is on top at that point.
  void Click(QPoint global, const char* button = "1") {
    EXPECT_EQ(0, QProcess::execute("xdotool", {"mousemove", "--sync", QString::number(global.x()),
                                               QString::number(global.y()), "click", button}));
  }
  void ClickHolding(int row) {
    auto* holdings = qobject_cast<QTableView*>(view_.ControlWidget("高级表格5"));
    const QPoint cell = holdings->visualRect(holdings->model()->index(row - 1, 0)).center();
    ClickWhenReachable("高级表格5", holdings->viewport()->mapTo(holdings, cell));
  }
  // Clicks holdings row `row` and waits until the page fills the viewer's part of the panel
  // (the viewer sits at a negative offset and ends 48 pixels above the panel's bottom).
  void OpenPage(int row) {
    ClickHolding(row);
    const QPoint corners[] = {{2, 2}, {860, 80}, {2, 820}, {860, 820}};
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          return std::all_of(corners, corners + 4,
                             [&](QPoint at) { return PageAt(At("外形框1", at)); });
        },
        kWaitMs));
  }

  test_support::TempDir dir_;
  bool portal_set_ =
      app::ConfigFile(app_test::TestPaths(dir_.path()).run_dir.string())
          .Write("门户", "PORTAL_DATA", "data:text/html,<body style=background:%23288c46>");
  app_test::Program program_{dir_.path()};
  app::MainWindow& main_ = program_.app.main_window();
  shell::Features features_;
  ui::WindowView view_{main_};
  ui::HtmlViewerWidget& viewer_ =
      *static_cast<ui::HtmlViewerWidget*>(view_.ControlWidget("超文本浏览框1"));
};

TEST_F(PagePanelWindowTest, PageCoversThePanelInTheSameWindowTheMarkHidesItAndTheControlsAnswer) {
  const WId before = view_.winId();
  OpenPage(1);
  EXPECT_EQ(before, view_.winId());
  ASSERT_NE(nullptr, viewer_.PageContainer());
  // The page's window, another process's, sits inside the main window.
  const WId page = viewer_.PageContainer()->windowHandle()->winId();
  EXPECT_TRUE(InsideX(page, before));
  // The mark is on top of the page: it is not drawn in the page's colour.
  ClickWhenReachable("图片框1", QPoint(32, 28));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !main_.外形框1.Visible(); }, kWaitMs));
  EXPECT_FALSE(main_.超文本浏览框1.Visible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !PageAt(At("外形框1", QPoint(300, 400))); }, kWaitMs));

  // The controls the page covered answer to the pointer again.
  int board_clicks = 0;
  main_.选择板块钮.on_click = [&] { ++board_clicks; };
  ClickWhenReachable("选择板块钮", QPoint(60, 20));
  EXPECT_TRUE(QTest::qWaitFor([&] { return board_clicks == 1; }, kWaitMs));
  QString popped;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&popped] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      popped = menu->objectName();
      menu->close();
    }
  });
  poll.start(20);
  ClickWhenReachable("高级表格1", QPoint(1200, 100), "3");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !popped.isEmpty(); }, kWaitMs));
  EXPECT_EQ("菜单", popped);
  EXPECT_EQ(before, view_.winId());

  // A page process that ended (crashed, killed) is started again by the next page.
  const qint64 first = viewer_.Page()->ProcessId();
  ASSERT_GT(first, 0);
  kill(static_cast<pid_t>(first), SIGKILL);
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer_.Page()->ProcessId() == 0; }, kWaitMs));
  OpenPage(2);
  EXPECT_NE(first, viewer_.Page()->ProcessId());
}

struct Failure {
  const char* program;
  const char* reason;
};

class PageFailureTest : public PagePanelWindowTest, public ::testing::WithParamInterface<Failure> {
 protected:
  ~PageFailureTest() override { qputenv(ui::kPageProgramVariable, page_program_); }
  QByteArray page_program_ = qgetenv(ui::kPageProgramVariable);
};

TEST_P(PageFailureTest, ThePanelSaysWhyTheMarkHidesItAndTheWindowAnswers) {
  qputenv(ui::kPageProgramVariable, GetParam().program);
  viewer_.SetAnswerWait(3000);
  ClickHolding(1);
  const QLabel& notice = viewer_.Notice();
  const QString text = QStringLiteral("无法显示网页：") + GetParam().reason;
  EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isVisible() && notice.text() == text; }, kWaitMs))
      << notice.text().toStdString();
  // It is read where the panel shows the viewer.
  QWidget* panel = view_.ControlWidget("外形框1");
  EXPECT_TRUE(
      panel->rect().contains(panel->mapFromGlobal(notice.mapToGlobal(notice.rect().center()))));

  ClickWhenReachable("图片框1", QPoint(32, 28));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !notice.isVisible(); }, kWaitMs));
  EXPECT_FALSE(main_.外形框1.Visible());
  int board_clicks = 0;
  main_.选择板块钮.on_click = [&] { ++board_clicks; };
  ClickWhenReachable("选择板块钮", QPoint(60, 20));
  EXPECT_TRUE(QTest::qWaitFor([&] { return board_clicks == 1; }, kWaitMs));
}

// Not installed beside the program, ending at once, and reading its orders without a word.
INSTANTIATE_TEST_SUITE_P(PageProcess, PageFailureTest,
                         ::testing::Values(Failure{"/nonexistent/fundview-page",
                                                   ui::kPageMissingText},
                                           Failure{"/bin/true", ui::kPageEndedText},
                                           Failure{"/bin/cat", ui::kPageSilentText}));

}  // namespace
