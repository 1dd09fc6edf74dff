#pragma once

#include <chrono>

#include "base/date_time.h"

namespace ui {

// The local clock, a seam so that tests fix the date. Now() is the wall clock, for dates and
// file names; Steady() never jumps when the wall clock is set, so durations use it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual base::DateTime Now() const = 0;
  virtual std::chrono::steady_clock::time_point Steady() const = 0;
};

class SystemClock : public Clock {
 public:
  base::DateTime Now() const override;
  std::chrono::steady_clock::time_point Steady() const override;
};

// Stands still until told otherwise.
class FixedClock : public Clock {
 public:
  explicit FixedClock(base::DateTime now) : now_(now) {}
  base::DateTime Now() const override { return now_; }
  std::chrono::steady_clock::time_point Steady() const override { return steady_; }
  void Set(base::DateTime now) { now_ = now; }
  // Moves the steady reading on; the wall clock is left as it is.
  void Advance(std::chrono::steady_clock::duration by) { steady_ += by; }

 private:
  base::DateTime now_;
  std::chrono::steady_clock::time_point steady_;
};

}  // namespace ui
