#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "ui/ui_thread.h"

namespace test_support {

// The dispatcher without a window system: a queue that PumpEvents drains, so a test runs
// work posted by workers at a point it chooses.
class ManualUiThread : public ui::UiThread {
 public:
  ManualUiThread();
  void Post(std::function<void()> work) override;
  void PumpEvents() override;
  void PumpEventsUntil(Deadline deadline) override;
  bool IsUiThread() const override { return std::this_thread::get_id() == owner_; }

  // Waits until something is posted and runs everything pending.
  void WaitAndPump();

 private:
  std::optional<std::function<void()>> TakeOne();

  std::thread::id owner_;
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace test_support
