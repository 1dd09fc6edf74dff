#include "base/decimal.h"

#include <algorithm>
#include <limits>

namespace base {

namespace {

// Whole digits beyond this make values no one enters and would overflow the products.
constexpr size_t kMaxWholeDigits = 12;

// Digits, an optional point and decimals; scaled and rounded to `decimals`. `exact` refuses
// more decimals instead of rounding.
std::optional<std::int64_t> ParseUnsigned(std::string_view text, int decimals, bool exact) {
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() || whole.size() > kMaxWholeDigits) return std::nullopt;
  if (point != std::string_view::npos && fraction.empty()) return std::nullopt;
  auto digits = [](std::string_view part) {
    return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(whole) || !digits(fraction)) return std::nullopt;
  if (exact && fraction.size() > static_cast<size_t>(decimals)) return std::nullopt;
  std::int64_t value = 0;
  for (char c : whole) value = value * 10 + (c - '0');
  for (int i = 0; i < decimals; ++i) {
    value = value * 10 + (static_cast<size_t>(i) < fraction.size() ? fraction[i] - '0' : 0);
  }
  // Half away from zero: the first dropped digit decides.
  if (fraction.size() > static_cast<size_t>(decimals) && fraction[decimals] >= '5') ++value;
  return value;
}

}  // namespace

std::int64_t Power10(int n) {
  std::int64_t value = 1;
  while (n-- > 0) value *= 10;
  return value;
}

std::optional<std::int64_t> ParsePositive(std::string_view text, int decimals) {
  const std::optional<std::int64_t> value = ParseUnsigned(text, decimals, true);
  if (!value || *value <= 0) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseNonNegative(std::string_view text, int decimals) {
  return ParseUnsigned(text, decimals, true);
}

std::optional<std::int64_t> ParseSigned(std::string_view text, int decimals) {
  if (!text.empty() && text.back() == '%') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::optional<std::int64_t> value = ParseUnsigned(text, decimals, false);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

std::string FormatScaled(std::int64_t value, int decimals, bool sign) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const std::uint64_t unit = static_cast<std::uint64_t>(Power10(decimals));
  std::string text = std::to_string(magnitude / unit);
  if (decimals > 0) {
    std::string fraction = std::to_string(magnitude % unit);
    text += "." + std::string(decimals - fraction.size(), '0') + fraction;
  }
  if (negative) return "-" + text;
  return sign && value > 0 ? "+" + text : text;
}

std::optional<std::int64_t> RoundDivide(__int128 numerator, __int128 denominator) {
  if (denominator == 0) return std::nullopt;
  using Magnitude = unsigned __int128;
  const auto magnitude_of = [](__int128 value) {
    return value < 0 ? Magnitude(0) - static_cast<Magnitude>(value) : static_cast<Magnitude>(value);
  };
  const bool negative = (numerator < 0) != (denominator < 0);
  const Magnitude top = magnitude_of(numerator);
  const Magnitude bottom = magnitude_of(denominator);
  Magnitude quotient = top / bottom;
  // Half away from zero: up when the remainder is at least the half of the denominator.
  if (top % bottom >= bottom - top % bottom) ++quotient;
  constexpr Magnitude kLargest = std::numeric_limits<std::int64_t>::max();
  if (quotient > kLargest + (negative ? 1 : 0)) return std::nullopt;
  return negative ? static_cast<std::int64_t>(Magnitude(0) - quotient)
                  : static_cast<std::int64_t>(quotient);
}

}  // namespace base
