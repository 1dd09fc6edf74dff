#pragma once

// The user-interface thread's dispatcher. Control models belong to the UI thread; another
// thread hands a change over with Post. The UI thread never waits: a delay is a timer that
// posts its work when it falls due.

#include <chrono>
#include <functional>
#include <optional>

namespace ui {

class UiThread {
 public:
  virtual ~UiThread() = default;
  // Runs `work` on the UI thread later, in posting order. Safe from any thread.
  virtual void Post(std::function<void()> work) = 0;
  // Runs `work` on the UI thread once `delay` has passed. UI thread only.
  virtual void PostAfter(std::chrono::milliseconds delay, std::function<void()> work) = 0;
  // Ends the event loop: posted work that has not run yet runs no more.
  virtual void Quit() = 0;
  // True on the thread that owns the control models.
  virtual bool IsUiThread() const = 0;
};

// Runs `then` on the UI thread after amount × unit: unit 0 milliseconds, 1 seconds, 2 minutes,
// 3 hours (another unit counts as milliseconds). Both omitted: practically never.
void Delay(UiThread& ui, std::optional<long long> amount, std::optional<int> unit,
           std::function<void()> then);
// The wait Delay makes, in milliseconds.
long double DelayMilliseconds(std::optional<long long> amount, std::optional<int> unit);

}  // namespace ui
