// What a workbook cell's stored value reads as: a number as written, a serial day or time in
// its style's date format.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/nav_history.h"
#include "ledger_import/xlsx_table.h"

namespace ledger_import {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string NumberText(std::string_view stored) {
  std::string_view text = stored;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  std::string digits;
  long long point = -1;  // digits before the decimal point
  size_t at = 0;
  for (; at < text.size() && (IsDigit(text[at]) || text[at] == '.'); ++at) {
    if (text[at] == '.') {
      if (point >= 0) return std::string(stored);
      point = static_cast<long long>(digits.size());
    } else {
      digits.push_back(text[at]);
    }
  }
  if (digits.empty()) return std::string(stored);
  if (point < 0) point = static_cast<long long>(digits.size());
  if (at < text.size()) {
    if (text[at] != 'e' && text[at] != 'E') return std::string(stored);
    std::string_view exponent = text.substr(at + 1);
    if (!exponent.empty() && exponent[0] == '+') exponent.remove_prefix(1);
    long long shift = 0;
    const auto [end, error] =
        std::from_chars(exponent.data(), exponent.data() + exponent.size(), shift);
    if (error != std::errc() || end != exponent.data() + exponent.size() || shift < -400 ||
        shift > 400) {
      return std::string(stored);
    }
    point += shift;
  }
  // Leading zeros out, rounding to 15 significant digits, trailing zeros out.
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return "0";
  digits.erase(0, first);
  point -= static_cast<long long>(first);
  constexpr size_t kSignificant = 15;
  if (digits.size() > kSignificant) {
    const bool up = digits[kSignificant] >= '5';
    digits.resize(kSignificant);
    for (size_t i = kSignificant; up && i-- > 0;) {
      if (digits[i] == '9') {
        digits[i] = '0';
        if (i == 0) {
          digits.insert(digits.begin(), '1');
          ++point;
        }
      } else {
        ++digits[i];
        break;
      }
    }
  }
  while (digits.back() == '0') digits.pop_back();  // the first digit is not 0
  std::string out = negative ? "-" : "";
  const long long size = static_cast<long long>(digits.size());
  if (point <= 0) {
    out += "0." + std::string(static_cast<size_t>(-point), '0') + digits;
  } else if (point >= size) {
    out += digits + std::string(static_cast<size_t>(point - size), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(point)) + "." +
           digits.substr(static_cast<size_t>(point));
  }
  return out;
}

DateFormat DateFormatOf(std::string_view code) {
  code = code.substr(0, code.find(';'));
  bool date = false, time = false, month = false;
  for (size_t at = 0; at < code.size(); ++at) {
    const char c = code[at];
    if (c == '"') {
      const size_t close = code.find('"', at + 1);
      if (close == std::string_view::npos) break;
      at = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++at;
    } else if (c == '[') {
      const size_t close = code.find(']', at + 1);
      if (close == std::string_view::npos) break;
      // [h], [mm], [ss]: a duration, not a time of day.
      const std::string_view inside = code.substr(at + 1, close - at - 1);
      if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos) {
        return DateFormat::kNone;
      }
      at = close;
    } else if (c == 'y' || c == 'Y' || c == 'd' || c == 'D') {
      date = true;
    } else if (c == 'h' || c == 'H' || c == 's' || c == 'S') {
      time = true;
    } else if (c == 'm' || c == 'M') {
      month = true;
    }
  }
  if (code == "General" || code == "general") return DateFormat::kNone;
  if (date || (month && !time)) return DateFormat::kDate;
  return time ? DateFormat::kTimeOnly : DateFormat::kNone;
}

DateFormat BuiltInDateFormat(int id) {
  if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 31) || id == 36 ||
      (id >= 50 && id <= 54) || id == 57 || id == 58) {
    return DateFormat::kDate;
  }
  if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47) || id == 55 ||
      id == 56) {
    return DateFormat::kTimeOnly;
  }
  return DateFormat::kNone;
}

std::string SerialText(double serial, bool date1904, DateFormat format) {
  // 9999-12-31 is serial 2958465 (one day less in the 1904 system).
  if (!(serial >= 0 && serial < 2'958'466) || format == DateFormat::kNone) return {};
  const long long seconds = std::llround(serial * 86'400);
  const long long days = seconds / 86'400;
  const long long of_day = seconds % 86'400;
  char time[16];
  std::snprintf(time, sizeof time, "%02lld:%02lld:%02lld", of_day / 3600, of_day / 60 % 60,
                of_day % 60);
  if (format == DateFormat::kTimeOnly && days == 0) return time;
  long long day_number = 0;
  if (date1904) {
    day_number = -24'107 + days;  // 1904-01-01 is serial 0
  } else if (days >= 1 && days < 60) {
    day_number = -25'568 + days;  // 1900-01-01 is serial 1
  } else if (days > 60) {
    day_number = -25'569 + days;  // serial 60 is the 29 February 1900 that never was
  } else {
    return {};
  }
  if (day_number < base::kFirstDayNumber || day_number > base::kLastDayNumber) return {};
  std::string text = base::DayText(static_cast<std::int32_t>(day_number));
  if (of_day != 0) text += std::string(" ") + time;
  return text;
}

}  // namespace ledger_import
