#pragma once

#include <chrono>

#include "base/date_time.h"
#include "ui/clock.h"

namespace test_support {

// Stands still until told otherwise.
class FixedClock : public ui::Clock {
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

}  // namespace test_support
