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

void ManualUiThread::PostAfter(std::chrono::milliseconds delay, std::function<void()> work) {
  std::lock_guard lock(mutex_);
  timers_.emplace(now_ + std::max(delay, std::chrono::milliseconds(0)), std::move(work));
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

void ManualUiThread::AdvanceTimers(std::chrono::milliseconds by) {
  std::lock_guard lock(mutex_);
  now_ += by;
  while (!timers_.empty() && timers_.begin()->first <= now_) {
    queue_.push_back(std::move(timers_.begin()->second));
    timers_.erase(timers_.begin());
  }
}

bool ManualUiThread::FireNextTimer() {
  std::chrono::milliseconds due;
  {
    std::lock_guard lock(mutex_);
    if (timers_.empty()) return false;
    due = timers_.begin()->first;
  }
  AdvanceTimers(due - now_);
  return true;
}

int ManualUiThread::PendingTimers() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(timers_.size());
}

}  // namespace test_support
