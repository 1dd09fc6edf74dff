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

}  // namespace ui
