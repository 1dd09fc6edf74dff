#include "tools/side_tasks.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>

#include "net/http_fetch_test_servers.h"
#include "tools/side_tools_fixture.h"

namespace {

using tools_test::kNow;
using tools_test::LoginCookie;
using tools_test::Program;
using tools_test::SideToolsTest;

TEST_F(SideToolsTest, SignInClaimsTheTaskOnceADayAndStoresOnlyTheSuccess) {
  tools::ForumSignIn(app(), results_, LoginCookie());
  program_->Settle();
  EXPECT_EQ(tools::kSignInSuccess, results_.sign_in);
  EXPECT_EQ(kNow, program_->Stored("签到时间", "签到时间"));
  EXPECT_EQ(LoginCookie(), RequestsTo(sim::kForumTaskPath).at(0).Header("Cookie"));

  // Later the same day the forum says the task was claimed; the time of the success stays.
  program_->clock.Set({2021, 8, 8, 22, 0, 0});
  tools::ForumSignIn(app(), results_, LoginCookie());
  program_->Settle();
  EXPECT_EQ(tools::kSignInAlready, results_.sign_in);
  tools::ForumSignIn(app(), results_, "htVC_2132_auth=expired");
  program_->Settle();
  EXPECT_EQ(tools::kSignInFailed, results_.sign_in);
  EXPECT_EQ(kNow, program_->Stored("签到时间", "签到时间"));
}

TEST_F(SideToolsTest, StepPostingSendsAFormEncodedBodyAndStoresTheTimeOfASuccess) {
  const tools::StepInputs inputs{sim::kStepAccount, sim::kStepPassword, "20000"};
  // "步数密码" is B2BD CAFD C3DC C2EB in GBK.
  EXPECT_EQ("usr=13800138000&psw=a%26b%3Dc%2Bd%25e%20%B2%BD%CA%FD%C3%DC%C2%EB&bs=20000",
            tools::StepPostingBody(inputs));
  tools::StepPosting(app(), results_, inputs);
  program_->Settle();
  EXPECT_EQ("修改步数成功，当前步数：20000", results_.step);
  EXPECT_EQ(kNow, program_->Stored("刷步时间", "刷步时间"));
  auto requests = RequestsTo(sim::kStepServicePath);
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("POST", requests[0].method);
  EXPECT_EQ("/xm/app/ajax.php?c=add", requests[0].target);
  EXPECT_EQ(tools::StepPostingBody(inputs), requests[0].body);
  EXPECT_EQ("", requests[0].Header("Cookie"));

  // The service's own wording comes back; without "成功" the stored time stays.
  program_->clock.Set({2021, 8, 9, 7, 0, 0});
  tools::StepPosting(app(), results_, {sim::kStepAccount, "a&b=c", "20000"});
  program_->Settle();
  EXPECT_EQ("账号或密码错误", results_.step);
  EXPECT_EQ(kNow, program_->Stored("刷步时间", "刷步时间"));
}

// A step service that answers whatever the test sets.
class CannedServices : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.server().Post("/xm/app/ajax.php",
                          [this](const httplib::Request&, httplib::Response& r) {
                            r.set_content(body_, "application/json");
                          });
    server_.Start();
    program_ = std::make_unique<Program>(dir_.path(), server_.Url(""));
  }
  app::App& app() { return *program_->app; }

  std::string body_;
  http_test::LoopbackServer server_;
  test_support::TempDir dir_;
  tools::SideTaskResults results_;
  std::unique_ptr<Program> program_;
};

TEST_F(CannedServices, ResultsFollowThePhrasesAndTheMessageMember) {
  struct Case {
    std::string answer;
    std::string result;
    bool stored;
  };
  const Case cases[] = {
      {R"({"code":200,"message":"\u4eca\u65e5\u5df2\u540c\u6b65\u6210\u529f\u8fc7"})",
       "今日已同步成功过", true},
      {R"({"code":500,"message":"\u670d\u52a1\u7e41\u5fd9"})", "服务繁忙", false},
      {R"({"code":200,"msg":"\u6210\u529f"})", "", false},
      {"<html>成功</html>", "", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    app::ConfigFile config = app().config();
    config.Write("刷步时间", "刷步时间", "");
    results_.step = "旧";
    body_ = c.answer;
    tools::StepPosting(app(), results_, {"u", "p", "1"});
    program_->Settle();
    EXPECT_EQ(c.result, results_.step) << c.answer;
    EXPECT_EQ(c.stored ? kNow : "", config.Read("刷步时间", "刷步时间")) << c.answer;
  }

  // The raw request, since the server library decodes escapes in header values. The answer
  // holds both phrases: the success phrase is looked for first.
  http_test::RawServer forum(
      "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n\r\n"
      "<p>抱歉，本期您已申请过此任务</p><p>恭喜您，任务已完成</p>");
  const std::string forum_base = forum.Url("");
  Program program(dir_.path() / "raw", forum_base);
  tools::ForumSignIn(*program.app, results_, "a=1");
  program.Settle();
  EXPECT_EQ(tools::kSignInSuccess, results_.sign_in);
  const std::string request = forum.LastRequest();
  EXPECT_EQ(0u, request.find("GET /home.php?mod=task&do=apply&id=2 HTTP/1.1\r\n")) << request;
  const std::string header_lines =
      "\r\nUser-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like "
      "Gecko) Chrome/70.0.3538.25 Safari/537.36 Core/1.70.3868.400 QQBrowser/10.8.4394.400\r\n"
      "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,image/webp,image/apng,*/"
      "*;q=0.8\r\nReferer: " +
      forum_base +
      "/forum.php?mod=viewthread&tid=1386315"
      "&extra=page%3D1%26filter%3Dspecialtype%26specialtype%3Dreward\r\n";
  EXPECT_NE(std::string::npos, request.find(header_lines)) << request;
  EXPECT_NE(std::string::npos, request.find("\r\nCookie: a=1\r\n")) << request;
}

}  // namespace
