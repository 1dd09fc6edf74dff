#include "support/manual_ui_thread.h"

namespace test_support {

ManualUiThread::ManualUiThread() : owner_(std::this_thread::get_id()) {}

void ManualUiThread::Post(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
  }
  posted_.notify_all();
}

std::optional<std::function<void()>> ManualUiThread::TakeOne() {
  std::lock_guard lock(mutex_);
  if (queue_.empty()) return std::nullopt;
  std::function<void()> work = std::move(queue_.front());
  queue_.pop_front();
  return work;
}

void ManualUiThread::PumpEvents() {
  // Work posted while pumping runs in the same pump, as window events would.
  while (auto work = TakeOne()) {
    if (*work) (*work)();
  }
}

void ManualUiThread::PumpEventsUntil(Deadline deadline) {
  for (;;) {
    PumpEvents();
    std::unique_lock lock(mutex_);
    if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) return;
  }
}

void ManualUiThread::WaitAndPump() {
  {
    std::unique_lock lock(mutex_);
    posted_.wait(lock, [this] { return !queue_.empty(); });
  }
  PumpEvents();
}

}  // namespace test_support
