#include "ui/clock.h"

#include <ctime>

namespace ui {

base::DateTime SystemClock::Now() const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  base::DateTime when;
  when.year = local.tm_year + 1900;
  when.month = local.tm_mon + 1;
  when.day = local.tm_mday;
  when.hour = local.tm_hour;
  when.minute = local.tm_min;
  when.second = local.tm_sec;
  return when;
}

std::chrono::steady_clock::time_point SystemClock::Steady() const {
  return std::chrono::steady_clock::now();
}

}  // namespace ui
