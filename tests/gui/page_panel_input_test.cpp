// The shareholder page panel on a real window of a private X server, driven by real input
// (xdotool): the page is shown by a process of its own inside the panel, the main window keeps
// its native window, the page's pixels cover the panel, the close mark stays above the page and
// hides it, and the controls it covered answer again. Runs under tests/gui/with_xvfb.sh.

#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <thread>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "ui/qt/page_process.h"
#include "ui/qt/panel_widgets.h"
#include "ui/qt/window_view.h"

namespace {

const QColor kPageColour(40, 140, 70);

// Serves every shareholder page as a page of one colour.
class PageServer {
 public:
  PageServer() {
    server_.Get(R"(/gdhs/detail/(\d{6})\.html)", [](const httplib::Request&, httplib::Response& r) {
      r.set_content("<html><body style='margin:0;background:#288c46'></body></html>",
                    "text/html; charset=utf-8");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~PageServer() {
    server_.stop();
    thread_.join();
  }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

bool Near(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 &&
         std::abs(a.blue() - b.blue()) <= 3;
}

// Real input through the X server: it reaches whichever window is on top at that point.
void Xdo(const QStringList& arguments) {
  ASSERT_EQ(0, QProcess::execute("xdotool", arguments))
      << "xdotool " << arguments.join(' ').toStdString();
}

// Whether `window` lies inside `ancestor` in the X server's window tree.
bool InsideXWindow(xcb_window_t window, xcb_window_t ancestor) {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  bool inside = false;
  for (xcb_window_t at = window; at != XCB_WINDOW_NONE && !inside;) {
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, at), nullptr);
    if (!tree) break;
    inside = tree->parent == ancestor;
    at = tree->parent == tree->root ? xcb_window_t{XCB_WINDOW_NONE} : tree->parent;
    free(tree);
  }
  xcb_disconnect(connection);
  return inside;
}

bool MapsLibrary(const std::string& part) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

class PagePanelWindowTest : public ::testing::Test {
 protected:
  PagePanelWindowTest() {
    shell::BindEvents(program_.app, features_);
    main_.高级表格5.SetText(1, 0, "牧原股份");
    main_.高级表格5.SetText(1, 1, "002714");
    main_.高级表格5.SetText(2, 0, "温氏股份");
    main_.高级表格5.SetText(2, 1, "300498");
    main_.Show();
  }

  void SetUp() override {
    ASSERT_EQ("xcb", QGuiApplication::platformName().toStdString()) << "run under with_xvfb.sh";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  }

  QPoint Global(const std::string& control, QPoint at) {
    return view_.ControlWidget(control)->mapToGlobal(at);
  }
  QPoint CentreOf(const std::string& control) {
    return Global(control, view_.ControlWidget(control)->rect().center());
  }
  QColor ScreenAt(QPoint global) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, global.x(), global.y(), 1, 1)
        .toImage()
        .pixelColor(0, 0);
  }
  void ClickAt(QPoint global, const char* button = "1") {
    Xdo({"mousemove", "--sync", QString::number(global.x()), QString::number(global.y()), "click",
         button});
  }
  // Clicks holdings row `row` and waits until the screen shows the page in the panel.
  void OpenPage(int row) {
    auto* holdings = qobject_cast<QTableView*>(view_.ControlWidget("高级表格5"));
    const QRect cell = holdings->visualRect(holdings->model()->index(row - 1, 0));
    ClickAt(holdings->viewport()->mapToGlobal(cell.center()));
    viewer_ = static_cast<ui::HtmlViewerWidget*>(view_.ControlWidget("超文本浏览框1"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return PageShown(); }, 30000));
  }
  // A point of the panel the page shows in, away from the close mark.
  QPoint PanelPoint() { return Global("外形框1", QPoint(300, 400)); }
  // The page fills the viewer's part of the panel (the viewer sits at a negative offset and
  // ends 48 pixels above the panel's bottom), close mark aside.
  bool PageShown() {
    for (QPoint at :
         {QPoint(2, 2), QPoint(860, 80), QPoint(300, 400), QPoint(2, 820), QPoint(860, 820)}) {
      if (!Near(kPageColour, ScreenAt(Global("外形框1", at)))) return false;
    }
    return true;
  }

  test_support::TempDir dir_;
  PageServer pages_;
  bool portal_set_ = (app_test::PointPortalAt(dir_.path(), pages_.BaseUrl()), true);
  app_test::Program program_{dir_.path()};
  app::MainWindow& main_ = program_.app.main_window();
  shell::Features features_;
  ui::WindowView view_{main_};
  ui::HtmlViewerWidget* viewer_ = nullptr;
};

TEST_F(PagePanelWindowTest, PageCoversThePanelInsideTheSameWindowAndTheMarkHidesIt) {
  const WId before = view_.winId();
  OpenPage(1);
  EXPECT_EQ(before, view_.winId());
  ASSERT_NE(nullptr, viewer_->PageContainer());
  const WId page_window = viewer_->PageContainer()->windowHandle()->winId();
  EXPECT_TRUE(InsideXWindow(page_window, before));
  EXPECT_FALSE(Near(kPageColour, ScreenAt(CentreOf("图片框1"))));
  // Neither the web engine nor a GL driver came into this process.
  EXPECT_FALSE(MapsLibrary("WebEngine"));
  EXPECT_FALSE(MapsLibrary("libLLVM"));

  ClickAt(CentreOf("图片框1"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !main_.外形框1.Visible(); }, 5000));
  EXPECT_FALSE(main_.超文本浏览框1.Visible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Near(kPageColour, ScreenAt(PanelPoint())); }, 5000));

  // The controls the page covered answer to the pointer again.
  int board_clicks = 0;
  main_.选择板块钮.on_click = [&] { ++board_clicks; };
  ClickAt(Global("选择板块钮", QPoint(60, 20)));
  EXPECT_TRUE(QTest::qWaitFor([&] { return board_clicks == 1; }, 5000));
  QString popped;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&popped] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      popped = menu->objectName();
      menu->close();
    }
  });
  poll.start(20);
  ClickAt(Global("高级表格1", QPoint(1200, 100)), "3");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !popped.isEmpty(); }, 5000));
  EXPECT_EQ("菜单", popped);
  EXPECT_EQ(before, view_.winId());
}

TEST_F(PagePanelWindowTest, PageProcessThatEndedIsStartedAgainByTheNextPage) {
  OpenPage(1);
  const qint64 first = viewer_->Page()->ProcessId();
  ASSERT_GT(first, 0);
  kill(static_cast<pid_t>(first), SIGKILL);
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer_->Page()->ProcessId() == 0; }, 5000));
  // The program runs on, its panel empty.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Near(kPageColour, ScreenAt(PanelPoint())); }, 5000));

  OpenPage(2);
  EXPECT_NE(0, viewer_->Page()->ProcessId());
  EXPECT_NE(first, viewer_->Page()->ProcessId());
}

}  // namespace
