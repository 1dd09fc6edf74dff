#include "tools/side_tasks.h"

#include "app/load.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "base/text.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "script/json_object.h"

namespace tools {

namespace {

constexpr std::string_view kSuccessPhrase = "恭喜您，任务已完成";
constexpr std::string_view kAlreadyPhrase = "抱歉，本期您已申请过此任务";

// A thread of the forum that the task page is claimed from, as a browser would have it open.
constexpr std::string_view kRefererThread = "1386315";

std::string ForumHeaders(const net::PortalUrls& urls) {
  std::string headers =
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/70.0.3538.25 Safari/537.36 Core/1.70.3868.400 QQBrowser/10.8.4394.400\r\n"
      "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,image/webp,image/apng,*/"
      "*;q=0.8\r\n"
      "Referer: ";
  headers += urls.forum_base;
  headers += "/forum.php?mod=viewthread&tid=";
  headers += kRefererThread;
  headers += "&extra=page%3D1%26filter%3Dspecialtype%26specialtype%3Dreward";
  return headers;
}

void StoreTimeNow(app::App& app, const char* section) {
  app.config().Write(section, section, base::DateTimeText(app.clock().Now()));
}

std::string FormValue(std::string_view value) { return base::PercentEncode(value, true, false); }

}  // namespace

std::string CleanCookie(std::string_view cookie) {
  std::string clean;
  clean.reserve(cookie.size());
  for (char c : cookie) {
    if (c != '\r' && c != '\n' && c != '\0') clean += c;
  }
  return clean;
}

std::string SignInResult(std::string_view answer) {
  if (base::Find(answer, kSuccessPhrase) > 0) return kSignInSuccess;
  if (base::Find(answer, kAlreadyPhrase) > 0) return kSignInAlready;
  return kSignInFailed;
}

// Both tasks run as loads of the side tasks' target: their answers are applied only while that
// load is the newest, so a program that ends meanwhile writes nothing.
void ForumSignIn(app::App& app, SideTaskResults& results, std::string_view cookie,
                 std::function<void()> then) {
  app::StartLoad(
      app, app.loads().Current(app::LoadTarget::kSideTasks),
      [&app, cookie = CleanCookie(cookie)] {
        const net::HttpFetchResult answer = net::HttpFetch(net::HttpFetchOptions{
            .url = net::ForumTaskUrl(app.portal()),
            .cookies = cookie,
            .extra_headers = ForumHeaders(app.portal()),
            .max_body_bytes = net::kForumTaskMaxBytes,
            .control = &app.transfers(),
        });
        return SignInResult(answer.text);
      },
      [&app, &results, then = std::move(then)](const std::string& result) {
        results.sign_in = result;
        if (result == kSignInSuccess) StoreTimeNow(app, kSignInTimeSection);
        if (then) then();
      });
}

std::string StepPostingBody(const StepInputs& inputs) {
  return "usr=" + FormValue(inputs.account) + "&psw=" + FormValue(inputs.password) +
         "&bs=" + FormValue(inputs.steps);
}

void StepPosting(app::App& app, SideTaskResults& results, const StepInputs& inputs,
                 std::function<void()> then) {
  app::StartLoad(
      app, app.loads().Current(app::LoadTarget::kSideTasks),
      [&app, body = StepPostingBody(inputs)] {
        const net::HttpFetchResult answer = net::HttpFetch(net::HttpFetchOptions{
            .url = net::StepPostingUrl(app.portal()),
            .verb = net::kVerbPost,
            .post_data = body,
            .max_body_bytes = net::kStepPostingMaxBytes,
            .control = &app.transfers(),
        });
        // The service escapes every non-ASCII character as \uXXXX.
        script::JsonObject reply;
        reply.Parse(base::ScriptUnescape(answer.text));
        return reply.GetText("message");
      },
      [&app, &results, then = std::move(then)](const std::string& message) {
        results.step = message;
        if (base::Find(message, "成功") > 0) StoreTimeNow(app, kStepTimeSection);
        if (then) then();
      });
}

}  // namespace tools
