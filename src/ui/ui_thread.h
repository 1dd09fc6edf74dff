#pragma once

// The user-interface thread's dispatcher. Control models belong to the UI thread; another
// thread hands a change over with Post. PumpEvents processes what is pending (window events
// in the program, posted work in tests), so a long wait on the UI thread keeps the windows
// alive.

#include <chrono>
#include <functional>
#include <optional>

namespace ui {

class UiThread {
 public:
  using Deadline = std::chrono::steady_clock::time_point;

  virtual ~UiThread() = default;
  // Runs `work` on the UI thread later, in posting order. Safe from any thread.
  virtual void Post(std::function<void()> work) = 0;
  // Processes every pending event and posted work once, without waiting.
  virtual void PumpEvents() = 0;
  // Processes events as they arrive until `deadline`.
  virtual void PumpEventsUntil(Deadline deadline) = 0;
  // True on the thread that owns the control models.
  virtual bool IsUiThread() const = 0;
};

// Waits amount × unit while processing events: unit 0 milliseconds, 1 seconds, 2 minutes,
// 3 hours (another unit counts as milliseconds). Both omitted wait practically for ever.
// Always returns true.
bool MessagePumpingDelay(UiThread& ui, std::optional<long long> amount = std::nullopt,
                         std::optional<int> unit = std::nullopt);
// The wait MessagePumpingDelay makes, in milliseconds.
long double DelayMilliseconds(std::optional<long long> amount, std::optional<int> unit);

}  // namespace ui
