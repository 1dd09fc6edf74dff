#include "tools/side_tools.h"

#include <functional>
#include <memory>

#include "base/encoding.h"
#include "base/text.h"

namespace tools {

const char* const kStepUsageTip =
    "使用方法：\r\n"
    "1、在应用商店中下载小米运动app\r\n"
    "2、注册小米运动账号（小米账号≠小米运动账号）\r\n"
    "3、打开小米运动，依次点击我的-第三方接入-绑定同步平台\r\n"
    "4、软件填入账号密码步数\r\n"
    "5、支付宝偶尔不显示，朋友可以看到";

const char* const kCookieUsageTip =
    "使用方法：\r\n"
    "1、打开吾爱破解论坛并保持登陆状态\r\n"
    "2、按F12，依次选择Netowork-Doc-左上角灰色斜杠按钮\r\n"
    "3、按F5刷新网页\r\n"
    "4、依次选择forum-Headers-找到Cookie复制粘贴到软件";

namespace {

constexpr const char* kAccountKey = "账号";
constexpr const char* kPasswordKey = "密码";
constexpr const char* kStepsKey = "步数";
constexpr const char* kCookieKey = "Cookie";

using SideToolsState = SideTools::State;

// A run of the tasks holds the save button disabled until it ends.
void BeginRun(SideToolsState& state, app::SideToolsWindow& window) {
  state.running = true;
  window.按钮1.SetEnabled(false);
}

void EndRun(SideToolsState& state, app::SideToolsWindow& window) {
  state.running = false;
  if (window.Loaded()) window.按钮1.SetEnabled(true);
}

// The sign-in when `sign_in`, then the step posting when `steps`, one after the other, then
// `then`; the save button stays disabled meanwhile.
void RunTasks(app::App& app, SideToolsState& state, const SideToolInputs& inputs, bool sign_in,
              bool steps, std::function<void()> then) {
  app::SideToolsWindow& window = app.side_tools_window();
  BeginRun(state, window);
  auto end = [&state, &window, then = std::move(then)] {
    EndRun(state, window);
    then();
  };
  auto post_steps = [&app, &state, step = inputs.step, steps, end] {
    if (steps) {
      StepPosting(app, state.results, step, end);
    } else {
      end();
    }
  };
  if (sign_in) {
    ForumSignIn(app, state.results, inputs.cookie, post_steps);
  } else {
    post_steps();
  }
}

void OnWindowCreated(app::App& app, SideToolsState& state) {
  ++state.window_loads;
  LoadSideToolSettings(app);
  app.side_tools_window().按钮1.SetEnabled(!state.running);
}

// The box whose value the settings file cannot hold as it is, in the window's order; null
// when every one can be stored. The file is GBK with one value a line; the password is stored
// as escapes of its GBK bytes, so line breaks in it are kept.
const char* UnstorableBox(const SideToolInputs& inputs) {
  auto fits_a_line = [](const std::string& text) {
    return base::IsGbkText(text) &&
           text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
  };
  if (!fits_a_line(inputs.step.account)) return "小米账号";
  if (!base::IsGbkText(inputs.step.password)) return "小米密码";
  if (!fits_a_line(inputs.step.steps)) return "目标步数";
  if (!base::IsGbkText(inputs.cookie)) return "吾爱cookie";
  return nullptr;
}

// The inputs are read once, before the first request: closing the window while a request
// waits empties its boxes, and neither the step posting nor the stored cookie may see that.
void SaveSideToolSettings(app::App& app, SideToolsState& state) {
  if (state.running) return;
  app::SideToolsWindow& window = app.side_tools_window();
  const SideToolInputs inputs = ReadSideToolBoxes(window);
  // Stored changed, a value would come back different after a restart, and the tasks would
  // then send that; so nothing is stored or sent until the user mends it.
  if (const char* box = UnstorableBox(inputs)) {
    app.dialogs().MessageBox(std::string(box) + "含有无法保存的字符");
    return;
  }
  const int loaded_as = state.window_loads;
  app::ConfigFile config = app.config();
  config.Write(kStepSection, kAccountKey, inputs.step.account);
  config.Write(kStepSection, kPasswordKey, base::PercentEncode(inputs.step.password, false, false));
  config.Write(kStepSection, kStepsKey, inputs.step.steps);
  RunTasks(app, state, inputs, true, true, [&app, &state, &window, loaded_as, inputs] {
    app.config().Write(kCookieSection, kCookieKey, inputs.cookie);
    if (window.Loaded() && state.window_loads == loaded_as) window.Close();
  });
}

bool Due(const std::string& stored_day, const std::string& today) {
  return !stored_day.empty() && stored_day != today;
}

void RunDailySideTasks(app::App& app, SideToolsState& state) {
  app::SideToolsWindow& window = app.side_tools_window();
  window.Load();
  const int loaded_as = state.window_loads;
  const SideToolInputs inputs = ReadSideToolBoxes(window);
  const app::ConfigFile config = app.config();
  const std::string sign_in_day = StoredDay(config.Read(kSignInTimeSection, kSignInTimeSection));
  const std::string step_day = StoredDay(config.Read(kStepTimeSection, kStepTimeSection));
  const std::string today = base::IntToText(app.clock().Now().day);
  // The tasks' texts are shown when they arrive; the start-up goes on meanwhile.
  RunTasks(app, state, inputs, Due(sign_in_day, today), Due(step_day, today),
           [&app, &state, &window, loaded_as] {
             app.main_window().标签5.SetCaption(state.results.sign_in);
             app.main_window().标签6.SetCaption(state.results.step);
             // A window the user opened while the tasks ran is the user's to close.
             if (window.Loaded() && !window.Visible() && state.window_loads == loaded_as) {
               window.Close();
             }
           });
}

}  // namespace

SideToolInputs ReadSideToolBoxes(const app::SideToolsWindow& window) {
  return SideToolInputs{
      .step = {.account = window.小米账号框.Text(),
               .password = window.小米密码框.Text(),
               .steps = window.目标步数框.Text()},
      .cookie = CleanCookie(window.吾爱cookie框.Text()),
  };
}

void LoadSideToolSettings(app::App& app) {
  app::SideToolsWindow& window = app.side_tools_window();
  const app::ConfigFile config = app.config();
  window.小米账号框.SetText(config.Read(kStepSection, kAccountKey));
  window.小米密码框.SetText(base::UrlDecode(config.Read(kStepSection, kPasswordKey), false));
  window.目标步数框.SetText(config.Read(kStepSection, kStepsKey));
  window.吾爱cookie框.SetText(config.Read(kCookieSection, kCookieKey));
  window.标签6.SetToolTip(kStepUsageTip);
  window.标签7.SetToolTip(kCookieUsageTip);
}

std::string StoredDay(const std::string& stored_time) {
  return base::TextBetween(stored_time, "月", "日");
}

void SideTools::Install() {
  app::SideToolsWindow& window = app_.side_tools_window();
  window.on_created = [this] { OnWindowCreated(app_, state_); };
  window.按钮1.on_click = [this] { SaveSideToolSettings(app_, state_); };
  app_.AddStartupStep(app::StartupPhase::kSideTools,
                      [this](app::App& a) { RunDailySideTasks(a, state_); });
}

}  // namespace tools
