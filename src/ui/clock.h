#pragma once

#include "base/date_time.h"

namespace ui {

// The local clock, a seam so that tests fix the date.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual base::DateTime Now() const = 0;
};

class SystemClock : public Clock {
 public:
  base::DateTime Now() const override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(base::DateTime now) : now_(now) {}
  base::DateTime Now() const override { return now_; }
  void Set(base::DateTime now) { now_ = now; }

 private:
  base::DateTime now_;
};

}  // namespace ui
