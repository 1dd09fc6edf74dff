#include "base/nav_history.h"

#include <chrono>
#include <cstdlib>

#include "base/decimal.h"

namespace base {
namespace {

constexpr std::int64_t kLimit = 1'000'000'000;  // 10^9

}  // namespace

std::optional<std::int64_t> ScaledDecimal(std::string_view text, int decimals) {
  if (decimals < 0 || decimals > 9) return std::nullopt;
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::int64_t whole = 0;
  std::int64_t fraction = 0;  // the first `decimals` digits after the point
  int fraction_digits = 0;
  bool round_up = false, seen_point = false, seen_digit = false;
  for (const char c : text) {
    if (c == '.' && !seen_point) {
      seen_point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    seen_digit = true;
    const int digit = c - '0';
    if (!seen_point) {
      whole = whole * 10 + digit;
      if (whole > kLimit) return std::nullopt;
    } else if (fraction_digits < decimals) {
      fraction = fraction * 10 + digit;
      ++fraction_digits;
    } else if (fraction_digits++ == decimals) {
      round_up = digit >= 5;  // half away from zero: only the first dropped digit counts
    }
  }
  if (!seen_digit) return std::nullopt;
  for (int i = fraction_digits; i < decimals; ++i) fraction *= 10;
  const std::int64_t magnitude = whole * Power10(decimals) + fraction + (round_up ? 1 : 0);
  return negative ? -magnitude : magnitude;
}

std::string ScaledText(std::int64_t value, int decimals, int shown) {
  if (shown < decimals) {
    // A quotient by a power of ten is always in range.
    value = *RoundDivide(value, Power10(decimals - shown));
    decimals = shown;
  }
  std::string text = FormatScaled(value, decimals);
  for (int i = decimals; i < shown; ++i) text += i == 0 ? ".0" : "0";
  return text;
}

std::optional<std::int32_t> DayNumber(std::string_view day) {
  if (day.size() != 10 || day[4] != '-' || day[7] != '-') return std::nullopt;
  int parts[3] = {0, 0, 0};
  const size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
  for (size_t p = 0; p < 3; ++p) {
    for (size_t i = 0; i < lengths[p]; ++i) {
      const char c = day[starts[p] + i];
      if (c < '0' || c > '9') return std::nullopt;
      parts[p] = parts[p] * 10 + (c - '0');
    }
  }
  const std::chrono::year_month_day date{std::chrono::year(parts[0]),
                                         std::chrono::month(static_cast<unsigned>(parts[1])),
                                         std::chrono::day(static_cast<unsigned>(parts[2]))};
  if (parts[0] < 1900 || !date.ok()) return std::nullopt;
  return static_cast<std::int32_t>(std::chrono::sys_days(date).time_since_epoch().count());
}

std::string DayText(std::int32_t day_number) {
  const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(day_number))};
  const int year = static_cast<int>(date.year());
  const unsigned month = static_cast<unsigned>(date.month());
  const unsigned day = static_cast<unsigned>(date.day());
  std::string text = "0000-00-00";
  for (int i = 3, y = year; i >= 0; --i, y /= 10) text[static_cast<size_t>(i)] = '0' + y % 10;
  text[5] = static_cast<char>('0' + month / 10);
  text[6] = static_cast<char>('0' + month % 10);
  text[8] = static_cast<char>('0' + day / 10);
  text[9] = static_cast<char>('0' + day % 10);
  return text;
}

}  // namespace base
