#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "ui/ui_thread.h"

namespace test_support {

// The dispatcher without a window system: a queue that PumpEvents drains, so a test runs
// work posted by workers at a point it chooses. Timers run on a clock of their own that stands
// still until the test moves it (AdvanceTimers, FireNextTimer).
class ManualUiThread : public ui::UiThread {
 public:
  using Deadline = std::chrono::steady_clock::time_point;

  ManualUiThread();
  void Post(std::function<void()> work) override;
  void PostAfter(std::chrono::milliseconds delay, std::function<void()> work) override;
  void Quit() override { quit_ = true; }
  bool IsUiThread() const override { return std::this_thread::get_id() == owner_; }

  // Runs everything pending, including work posted meanwhile.
  void PumpEvents();
  // Runs posted work as it arrives until `deadline`.
  void PumpEventsUntil(Deadline deadline);
  // Waits until something is posted and runs everything pending.
  void WaitAndPump();

  // Moves the timers' clock on by `by`: the timers due by then are posted, earliest first.
  void AdvanceTimers(std::chrono::milliseconds by);
  // Moves the timers' clock to the earliest timer and posts it; false when none is set.
  bool FireNextTimer();
  int PendingTimers() const;
  bool QuitRequested() const { return quit_; }

 private:
  std::optional<std::function<void()>> TakeOne();

  std::thread::id owner_;
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> queue_;
  std::chrono::milliseconds now_{0};
  std::multimap<std::chrono::milliseconds, std::function<void()>> timers_;
  bool quit_ = false;
};

}  // namespace test_support
