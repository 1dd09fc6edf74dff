#pragma once

// The side-tools window: its boxes filled from the settings file whenever it is loaded, the
// "保存配置" button that stores them and runs both side tasks, the usage tips of its two
// "使用方法" labels, and the start-up run of the tasks once a day.

#include <string>

#include "app/app.h"
#include "tools/side_tasks.h"

namespace tools {

inline constexpr const char* kStepSection = "小米运动刷步";
inline constexpr const char* kCookieSection = "吾爱Cookie";

extern const char* const kStepUsageTip;
extern const char* const kCookieUsageTip;

// What the two tasks read from the window's boxes.
struct SideToolInputs {
  StepInputs step;
  std::string cookie;
};
SideToolInputs ReadSideToolBoxes(const app::SideToolsWindow& window);

// Fills the boxes from the settings file (the password is stored as %XX escapes of its GBK
// bytes) and attaches the usage tips.
void LoadSideToolSettings(app::App& app);

// The day of month of a stored time text ("2021年8月8日9时" gives "8"), empty when none.
std::string StoredDay(const std::string& stored_time);

// The side tools as one feature: the window's handlers, the daily run at start-up and the
// tasks' last results. Made by the shell; outlives the App's windows.
class SideTools {
 public:
  explicit SideTools(app::App& app) : app_(app) {}

  // Attaches the window's created handler and its save button, and adds the start-up step that
  // runs each task whose stored day is not empty and differs from today's day of month.
  // Only one run of the tasks happens at a time: while one waits for its answers the save
  // button is disabled and a click that still arrives does nothing, so a second run cannot
  // interleave its result texts and stored times with the first's.
  void Install();

  // The texts of the last answers, for the main window's labels.
  const SideTaskResults& results() const { return state_.results; }
  SideTaskResults& results() { return state_.results; }

  struct State {
    bool running = false;
    // Counts loads of the window, so that a run closes only the window it was started from
    // and not one the user opened while it waited.
    int window_loads = 0;
    SideTaskResults results;
  };

 private:
  app::App& app_;
  State state_;
};

}  // namespace tools
