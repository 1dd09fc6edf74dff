#pragma once

#include <string>

namespace base {

// Local date and time as the program shows it: 2021年8月8日9时5分3秒. The time ends with its
// last non-zero part (9时5分, 0时5分, 23时) and is left out at midnight.
struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::string DateTimeText(const DateTime& when);

}  // namespace base
