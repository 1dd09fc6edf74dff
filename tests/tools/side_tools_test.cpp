#include "tools/side_tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "shell/startup_tasks.h"
#include "tools/side_tools_fixture.h"

namespace {

using tools_test::kNow;
using tools_test::LoginCookie;
using tools_test::Program;
using tools_test::SideToolsTest;

// Every byte of "a&b=c+d%e 步数密码" as an upper-case escape.
constexpr const char* kStoredPassword = "%61%26%62%3D%63%2B%64%25%65%20%B2%BD%CA%FD%C3%DC%C2%EB";

void Fill(app::SideToolsWindow& window, const std::string& cookie) {
  window.小米账号框.SetText(sim::kStepAccount);
  window.小米密码框.SetText(sim::kStepPassword);
  window.目标步数框.SetText("18000");
  window.吾爱cookie框.SetText(cookie);
}

TEST_F(SideToolsTest, SaveStoresTheSettingsRunsBothTasksAndTheNextLoadReadsThemBack) {
  side_tools().Install();
  window().Load();
  EXPECT_EQ(tools::kStepUsageTip, window().标签6.ToolTip());
  EXPECT_EQ(tools::kCookieUsageTip, window().标签7.ToolTip());
  Fill(window(), LoginCookie());
  window().按钮1.Click();
  program_->Settle();

  EXPECT_EQ(sim::kStepAccount, program_->Stored("小米运动刷步", "账号"));
  EXPECT_EQ(kStoredPassword, program_->Stored("小米运动刷步", "密码"));
  EXPECT_EQ("18000", program_->Stored("小米运动刷步", "步数"));
  EXPECT_EQ(LoginCookie(), program_->Stored("吾爱Cookie", "Cookie"));
  EXPECT_EQ(tools::kSignInSuccess, side_tools().results().sign_in);
  EXPECT_EQ("修改步数成功，当前步数：18000", side_tools().results().step);
  EXPECT_EQ(kNow, program_->Stored("签到时间", "签到时间"));
  EXPECT_EQ(kNow, program_->Stored("刷步时间", "刷步时间"));
  EXPECT_FALSE(window().Loaded());
  // The file now holds a password and a login cookie: its owner alone reads it.
  const auto permissions = std::filesystem::status(app().config().Path()).permissions();
  EXPECT_EQ(std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, permissions);

  window().Load();
  EXPECT_EQ(sim::kStepPassword, window().小米密码框.Text());
  EXPECT_EQ(LoginCookie(), window().吾爱cookie框.Text());
  EXPECT_EQ("18000", window().目标步数框.Text());
  window().Close();
  // Escapes written by hand in lower case read the same.
  app().config().Write("小米运动刷步", "密码", "%b2%bd%ca%fd%41");
  window().Load();
  EXPECT_EQ("步数A", window().小米密码框.Text());
}

TEST_F(SideToolsTest, CookieIsSentAndStoredWithoutLineBreaksAndAnEmptyOneFailsTheSignIn) {
  side_tools().Install();
  window().Load();
  Fill(window(), "");
  window().按钮1.Click();
  program_->Settle();
  EXPECT_EQ(tools::kSignInFailed, side_tools().results().sign_in);
  EXPECT_EQ("", RequestsTo(sim::kForumTaskPath).at(0).Header("Cookie"));

  const std::string pasted =
      std::string("htVC_2132_saltkey=Qx9v;\r\nX-Injected: 1;\n") + sim::kForumAuthCookie + "\r\n";
  const std::string joined =
      std::string("htVC_2132_saltkey=Qx9v;X-Injected: 1;") + sim::kForumAuthCookie;
  window().Load();
  window().吾爱cookie框.SetText(pasted);
  window().按钮1.Click();
  program_->Settle();
  const sim::RecordedRequest claim = RequestsTo(sim::kForumTaskPath).at(1);
  EXPECT_EQ(joined, claim.Header("Cookie"));
  for (const auto& [name, value] : claim.headers) EXPECT_NE("X-Injected", name) << value;
  EXPECT_EQ(tools::kSignInSuccess, side_tools().results().sign_in);
  EXPECT_EQ(joined, program_->Stored("吾爱Cookie", "Cookie"));
}

TEST_F(SideToolsTest, ValuesTheSettingsFileCannotHoldAreRefusedNamingTheFirstBox) {
  side_tools().Install();
  using Box = ui::EditBox app::SideToolsWindow::*;
  struct Case {
    Box box;
    std::string value;
    const char* message;
  };
  const std::string nul("1\0002", 3);
  const Case cases[] = {
      {&app::SideToolsWindow::小米账号框, "u😀x", "小米账号含有无法保存的字符"},
      {&app::SideToolsWindow::小米账号框, "a\r\nb", "小米账号含有无法保存的字符"},
      {&app::SideToolsWindow::小米账号框, nul, "小米账号含有无法保存的字符"},
      {&app::SideToolsWindow::小米密码框, "p😀", "小米密码含有无法保存的字符"},
      {&app::SideToolsWindow::目标步数框, "18000\n", "目标步数含有无法保存的字符"},
      {&app::SideToolsWindow::目标步数框, nul, "目标步数含有无法保存的字符"},
      {&app::SideToolsWindow::吾爱cookie框, LoginCookie() + "😀", "吾爱cookie含有无法保存的字符"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    program_->dialogs.shown.clear();
    window().Load();
    Fill(window(), LoginCookie() + "ß");  // a later box that cannot be stored either
    (window().*c.box).SetText(c.value);
    window().按钮1.Click();
    program_->Settle();
    EXPECT_EQ(std::vector<std::string>{c.message}, program_->dialogs.shown);
    EXPECT_TRUE(window().Loaded());
    window().Close();
  }
  EXPECT_EQ(0u, sim_.requests().Count());
  EXPECT_EQ("", program_->Stored("小米运动刷步", "账号"));
  EXPECT_EQ("", program_->Stored("吾爱Cookie", "Cookie"));

  // Line breaks in the password survive its escapes; NUL leaves the cookie like CR and LF.
  program_->dialogs.shown.clear();
  window().Load();
  Fill(window(), std::string("htVC_2132_saltkey=Qx9v;") + '\0' + " " + sim::kForumAuthCookie);
  window().小米密码框.SetText("a\r\nb");
  window().按钮1.Click();
  program_->Settle();
  EXPECT_EQ(std::vector<std::string>{}, program_->dialogs.shown);
  EXPECT_EQ(LoginCookie(), program_->Stored("吾爱Cookie", "Cookie"));
  EXPECT_EQ(tools::kSignInSuccess, side_tools().results().sign_in);
  window().Load();
  EXPECT_EQ("a\r\nb", window().小米密码框.Text());
  EXPECT_EQ(sim::kStepAccount, window().小米账号框.Text());
}

TEST_F(SideToolsTest, OneRunAtATimeAndClosingTheWindowMidwayLosesNoInput) {
  side_tools().Install();
  window().Load();
  Fill(window(), LoginCookie());
  window().按钮1.Click();
  // A second click while the sign-in waits, then the window closed and opened again.
  window().按钮1.Click();
  window().Close();
  window().Load();
  EXPECT_FALSE(window().按钮1.Enabled());
  window().按钮1.Click();
  program_->Settle();

  EXPECT_EQ(1u, RequestsTo(sim::kForumTaskPath).size());
  ASSERT_EQ(1u, RequestsTo(sim::kStepServicePath).size());
  EXPECT_EQ(tools::StepPostingBody({sim::kStepAccount, sim::kStepPassword, "18000"}),
            RequestsTo(sim::kStepServicePath)[0].body);
  EXPECT_EQ(tools::kSignInSuccess, side_tools().results().sign_in);
  EXPECT_EQ("修改步数成功，当前步数：18000", side_tools().results().step);
  EXPECT_EQ(LoginCookie(), program_->Stored("吾爱Cookie", "Cookie"));
  // The window opened meanwhile is the user's: it stays, and its button works again.
  EXPECT_TRUE(window().Loaded());
  EXPECT_TRUE(window().按钮1.Enabled());
}

TEST(SideToolsStartupTest, TasksRunAtStartOnlyWhenTheirStoredDayIsAnotherDay) {
  struct Case {
    const char* sign_in_time;
    const char* step_time;
    size_t claims;
    size_t postings;
  };
  const Case cases[] = {
      {"", "", 0, 0},                                     // never run
      {"2021年8月8日1时", "2021年8月8日", 0, 0},          // today
      {"2021年7月8日9时5分", "2021年6月8日23时", 0, 0},   // the same day of another month
      {"2021年8月7日22时", "2021年8月1日7时30分", 1, 1},  // another day
      {"2021年8月7日22时", "2021年8月8日6时", 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sign_in_time) + " / " + c.step_time);
    sim::PortalSim sim;
    ASSERT_GT(sim.Start(), 0);
    test_support::TempDir dir;
    std::filesystem::create_directories(dir.path() / "run");
    app::ConfigFile config((dir.path() / "run").string());
    config.Write("签到时间", "签到时间", c.sign_in_time);
    config.Write("刷步时间", "刷步时间", c.step_time);
    config.Write("小米运动刷步", "账号", sim::kStepAccount);
    config.Write("小米运动刷步", "密码", kStoredPassword);
    config.Write("小米运动刷步", "步数", "18000");
    config.Write("吾爱Cookie", "Cookie", LoginCookie());
    Program program(dir.path(), sim.BaseUrl());
    app::App& app = *program.app;
    tools::SideTools side_tools(app);
    side_tools.Install();
    app.main_window().标签5.SetCaption("旧");
    app.main_window().标签6.SetCaption("旧");

    shell::StartupTasks(app);

    program.Settle();

    size_t claims = 0, postings = 0;
    for (const sim::RecordedRequest& r : sim.requests().Snapshot()) {
      claims += r.path == sim::kForumTaskPath;
      postings += r.path == sim::kStepServicePath;
    }
    EXPECT_EQ(c.claims, claims);
    EXPECT_EQ(c.postings, postings);
    EXPECT_EQ(c.claims ? tools::kSignInSuccess : "", app.main_window().标签5.Caption());
    EXPECT_EQ(c.postings ? "修改步数成功，当前步数：18000" : "", app.main_window().标签6.Caption());
    EXPECT_EQ(c.claims ? kNow : c.sign_in_time, program.Stored("签到时间", "签到时间"));
    EXPECT_EQ(c.postings ? kNow : c.step_time, program.Stored("刷步时间", "刷步时间"));
    EXPECT_FALSE(app.side_tools_window().Loaded());
  }
}

}  // namespace
