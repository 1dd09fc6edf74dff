#pragma once

// The two daily side tasks: claiming the forum's sign-in task with the user's login cookie,
// and posting a step count for a fitness-app account. Each makes one request, sets its
// result text and, on success, stores the time of the run in the settings file.
// Neither writes the cookie or the password anywhere but into its request.

#include <functional>
#include <string>
#include <string_view>

#include "app/app.h"

namespace tools {

inline constexpr const char* kSignInSuccess = "吾爱破解，签到成功";
inline constexpr const char* kSignInAlready = "吾爱破解，已经签到过了";
inline constexpr const char* kSignInFailed = "吾爱破解，Cookie已失效";

// Settings sections (each with a key of the same name) holding the time of the last success.
inline constexpr const char* kSignInTimeSection = "签到时间";
inline constexpr const char* kStepTimeSection = "刷步时间";

// The cookie as it is stored and sent: CR, LF and NUL removed, so a line break pasted with it
// can neither start a header line of its own nor be refused by the settings file.
std::string CleanCookie(std::string_view cookie);

// The result text of a forum answer: the success phrase is looked for first, so an answer
// holding both phrases counts as success; one holding neither means the cookie did not log in.
std::string SignInResult(std::string_view answer);

// The texts of the tasks' last answers, which the main window shows in 标签5 and 标签6.
struct SideTaskResults {
  std::string sign_in;
  std::string step;
};

// Claims the forum's task with `cookie` (cleaned first) on a worker; then, on the UI thread,
// sets `results.sign_in`, on success stores the sign-in time, and runs `then`. `results` must
// outlive the App.
void ForumSignIn(app::App& app, SideTaskResults& results, std::string_view cookie,
                 std::function<void()> then = {});

struct StepInputs {
  std::string account;
  std::string password;
  std::string steps;
};

// The form body "usr=…&psw=…&bs=…", each value percent-encoded over its GBK bytes as a form on
// a GBK page sends it, so "&", "=", "+" and "%" in a password reach the service unchanged.
std::string StepPostingBody(const StepInputs& inputs);

// Posts the step count on a worker; then, on the UI thread, sets `results.step` to the
// service's "message" (empty when the answer has none), stores the posting time when that
// message holds "成功", and runs `then`.
void StepPosting(app::App& app, SideTaskResults& results, const StepInputs& inputs,
                 std::function<void()> then = {});

}  // namespace tools
