#pragma once

#include "net/text.h"

namespace ui {

// The local clock, a seam so that tests fix the date.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual net::DateTime Now() const = 0;
};

class SystemClock : public Clock {
 public:
  net::DateTime Now() const override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(net::DateTime now) : now_(now) {}
  net::DateTime Now() const override { return now_; }
  void Set(net::DateTime now) { now_ = now; }

 private:
  net::DateTime now_;
};

}  // namespace ui
