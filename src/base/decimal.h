#pragma once

// Exact decimals: a number written with at most a given count of decimals, kept as an integer
// scaled by 10^decimals. Every rounding is half away from zero at the stated place.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace base {

// 10^n for 0 <= n <= 18.
std::int64_t Power10(int n);

// `text` as a number above 0 with at most `decimals` decimals, scaled by 10^decimals; nothing
// for anything else (signs, blanks inside, exponents, zero, more decimals, absurd sizes).
std::optional<std::int64_t> ParsePositive(std::string_view text, int decimals);
// The same, 0 allowed.
std::optional<std::int64_t> ParseNonNegative(std::string_view text, int decimals);
// A signed decimal such as a day change ("-1.23%", "0.52"), rounded half away from zero to
// `decimals`; a trailing "%" is allowed.
std::optional<std::int64_t> ParseSigned(std::string_view text, int decimals);
// `value` / 10^decimals with exactly `decimals` decimals; `sign` puts "+" before a value
// above 0.
std::string FormatScaled(std::int64_t value, int decimals, bool sign = false);

// round(numerator / denominator) half away from zero; nothing when the denominator is 0 or the
// quotient leaves the 64-bit range.
std::optional<std::int64_t> RoundDivide(__int128 numerator, __int128 denominator);

}  // namespace base
