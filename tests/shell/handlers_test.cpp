#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/app_fixture.h"
#include "base/encoding.h"
#include "shell/bind_events.h"
#include "shell/shell_handlers.h"

namespace shell {
namespace {

using app_test::AppFixture;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

std::string Gbk(const std::string& utf8) { return base::Utf8ToGbk(utf8); }

// Closes the window it watches when a modal loop starts, after running `during`.
class ClosingObserver : public ui::WindowObserver {
 public:
  ClosingObserver(ui::Window& window, std::function<void()> during)
      : window_(window), during_(std::move(during)) {}
  void WindowChanged() override {}
  void RunModal() override {
    ++modal_runs;
    if (during_) during_();
    window_.Close();
  }
  int modal_runs = 0;

 private:
  ui::Window& window_;
  std::function<void()> during_;
};

TEST(ShellHandlersTest, LoadAllBoxWritesTheTrueAndFalseWords) {
  AppFixture f;
  shell::Features features;
  BindEvents(f.app, features);
  app::MainWindow& main = f.app.main_window();
  main.选择框1.Click();
  EXPECT_EQ("真", f.app.config().Read("加载数据", "是否全部加载"));
  main.选择框1.Click();
  EXPECT_EQ(Gbk("[加载数据]\r\n是否全部加载=假\r\n"), ReadFileBytes(f.ConfigPath()));
}

TEST(ShellHandlersTest, AutostartBoxKeepsExactlyOneEntryAndAlwaysWritesTheChoice) {
  AppFixture f;
  WriteFileBytes(f.app.paths().executable, "program");
  shell::Features features;
  BindEvents(f.app, features);
  app::MainWindow& main = f.app.main_window();
  const std::filesystem::path autostart_dir = f.app.paths().autostart_dir;

  main.选择框2.Click();
  EXPECT_TRUE(main.选择框2.Checked());
  EXPECT_EQ("真", f.app.config().Read("开机自启", "自启"));
  main.选择框2.Click();
  EXPECT_EQ("假", f.app.config().Read("开机自启", "自启"));
  EXPECT_FALSE(std::filesystem::exists(autostart_dir / "fundview.desktop"));
  main.选择框2.Click();
  main.选择框2.Click();
  main.选择框2.Click();
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(autostart_dir), {}));
  EXPECT_TRUE(std::filesystem::exists(autostart_dir / "fundview.desktop"));

  // Unchecking when the entry is already gone still records the choice.
  std::filesystem::remove(autostart_dir / "fundview.desktop");
  main.选择框2.Click();
  EXPECT_EQ("假", f.app.config().Read("开机自启", "自启"));
}

TEST(ShellHandlersTest, SideToolsButtonShowsTheWindowModallyThenCopiesTheResults) {
  AppFixture f;
  shell::Features features;
  BindEvents(f.app, features);
  app::SideToolsWindow& tools = f.app.side_tools_window();
  int created = 0;
  tools.on_created = [&] { ++created; };
  ClosingObserver observer(tools, [&] {
    features.side_tools->results().sign_in = "吾爱破解，签到成功";
    features.side_tools->results().step = "刷步成功";
  });
  tools.SetObserver(&observer);
  f.app.main_window().小功能钮.Click();
  EXPECT_EQ(1, observer.modal_runs);
  EXPECT_EQ(1, created);
  EXPECT_EQ("吾爱破解，签到成功", f.app.main_window().标签5.Caption());
  EXPECT_EQ("刷步成功", f.app.main_window().标签6.Caption());
  EXPECT_FALSE(tools.Loaded());

  // Without a view the window returns at once; it is still closed so the next opening
  // creates it afresh.
  f.app.support_window().on_created = [&] { ++created; };
  f.app.main_window().支持钮.Click();
  f.app.main_window().支持钮.Click();
  EXPECT_EQ(3, created);
  EXPECT_FALSE(f.app.support_window().Loaded());
}

TEST(ShellHandlersTest, CloseMarkHidesThePagePanelAndMenusPopUpOverTheirControls) {
  AppFixture f;
  shell::Features features;
  BindEvents(f.app, features);
  app::MainWindow& main = f.app.main_window();
  main.外形框1.SetVisible(true);
  main.超文本浏览框1.SetVisible(true);
  main.图片框1.LeftPress();
  EXPECT_FALSE(main.外形框1.Visible());
  EXPECT_FALSE(main.超文本浏览框1.Visible());

  main.高级表格1.on_right_click(1, 0);
  main.高级表格2.on_right_click(1, 0);
  main.超级列表框2.on_right_click(0);
  main.高级表格5.on_right_click(1, 0);
  EXPECT_EQ(&main.高级表格5, features.funds->stock_menu_source());
  main.高级表格6.on_right_click(1, 0);
  EXPECT_EQ(&main.高级表格6, features.funds->stock_menu_source());
  EXPECT_EQ(1, main.菜单.PopupCount());
  EXPECT_EQ(1, main.菜单1.PopupCount());
  EXPECT_EQ(2, main.菜单2.PopupCount());
  EXPECT_EQ(1, main.菜单3.PopupCount());
}

TEST(ShellHandlersTest, ClosingTheBoardWindowClearsTheFreshClickFlag) {
  AppFixture f;
  shell::Features features;
  BindEvents(f.app, features);
  f.app.board_window().on_created = nullptr;  // no portal here to load a ranking from
  features.funds->lists().BoardFreshClick = 1;
  f.app.board_window().Show();
  f.app.board_window().Hide();
  EXPECT_EQ(1, features.funds->lists().BoardFreshClick);
  f.app.board_window().Close();
  EXPECT_EQ(0, features.funds->lists().BoardFreshClick);
}

// Closes the main window with other windows open and a worker running; 0 when the program's
// loop was told to end and every worker was joined.
int CloseWithOtherWindowsOpen() {
  {
    AppFixture f;
    shell::Features features;
    BindEvents(f.app, features);
    f.app.main_window().Show();
    f.app.board_window().Show();
    f.app.side_tools_window().Load();
    f.app.workers().Start([&f] {
      // A worker waiting as a transfer does: it ends once the program asks it to stop.
      while (!f.app.workers().Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    f.app.main_window().Close();
    if (!f.ui.QuitRequested()) return 3;
  }
  return 0;
}

TEST(ShellHandlersDeathTest, ClosingTheMainWindowEndsTheProcessWhateverElseIsOpen) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(CloseWithOtherWindowsOpen()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace shell
