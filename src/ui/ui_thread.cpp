#include "ui/ui_thread.h"

namespace ui {

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

long double DelayMilliseconds(std::optional<long long> amount, std::optional<int> unit) {
  constexpr long long kEndless = 18000000;
  if (!amount && !unit) return static_cast<long double>(kEndless) * kEndless;
  long double factor = 1;
  switch (unit.value_or(0)) {
    case 1:
      factor = 1000;
      break;
    case 2:
      factor = 60000;
      break;
    case 3:
      factor = 3600000;
      break;
    default:
      break;
  }
  return static_cast<long double>(amount.value_or(0)) * factor;
}

bool MessagePumpingDelay(UiThread& ui, std::optional<long long> amount, std::optional<int> unit) {
  using Clock = std::chrono::steady_clock;
  const long double wait_ms = DelayMilliseconds(amount, unit);
  const Clock::time_point now = Clock::now();
  // The endless wait would overflow the clock's range; a century is as good.
  const long double max_ms = 100.0L * 365 * 24 * 3600 * 1000;
  const auto wait = std::chrono::milliseconds(
      static_cast<long long>(wait_ms < 0 ? 0 : (wait_ms > max_ms ? max_ms : wait_ms)));
  ui.PumpEventsUntil(now + wait);
  return true;
}

}  // namespace ui
