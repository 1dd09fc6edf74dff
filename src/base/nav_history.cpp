#include "base/nav_history.h"

#include <chrono>
#include <cstdlib>

namespace base {
namespace {

constexpr std::int64_t kLimit = 1'000'000'000;  // 10^9

std::int64_t PowerOfTen(int exponent) {
  std::int64_t value = 1;
  for (int i = 0; i < exponent; ++i) value *= 10;
  return value;
}

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
  const std::int64_t magnitude = whole * PowerOfTen(decimals) + fraction + (round_up ? 1 : 0);
  return negative ? -magnitude : magnitude;
}

std::string ScaledText(std::int64_t value, int decimals, int shown) {
  if (shown < decimals) {
    const std::int64_t unit = PowerOfTen(decimals - shown);
    const std::int64_t half = unit / 2;
    value = value < 0 ? -((-value + half) / unit) : (value + half) / unit;
    decimals = shown;
  }
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const auto unit = static_cast<std::uint64_t>(PowerOfTen(decimals));
  std::string text = std::to_string(magnitude / unit);
  if (decimals > 0) {
    std::string fraction = std::to_string(magnitude % unit);
    text += "." + std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
  }
  for (int i = decimals; i < shown; ++i) text += i == 0 ? ".0" : "0";
  return negative && magnitude != 0 ? "-" + text : text;
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
