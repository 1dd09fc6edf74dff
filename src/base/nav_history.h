#pragma once

// A fund's NAV history as plain values: one point per trading day, oldest first, with the NAVs
// as exact decimals (scaled integers). The portal cuts it from its answer, the cache keeps it,
// the features read it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// Unit and accumulated NAV in ten-thousandths of a yuan, day growth in ten-thousandths of a
// percent, the fee rate in ten-thousandths of a percent.
inline constexpr int kNavDecimals = 4;
// A dividend per share (yuan) and a split ratio (new shares per share) in hundred-millionths.
inline constexpr int kRatioDecimals = 8;
// The smallest purchase in fen.
inline constexpr int kMoneyDecimals = 2;

struct NavPoint {
  std::string day;                              // YYYY-MM-DD
  std::int64_t unit_nav = 0;                    // > 0
  std::optional<std::int64_t> accumulated_nav;  // > 0 when present
  std::optional<std::int64_t> day_growth;       // percent
  std::int64_t dividend = 0;                    // cash per share paid that day; 0: none
  std::int64_t split_ratio = 0;                 // each share became this many; 0: none
  std::string unit_money;                       // the answer's 分红送配 text as it stands

  bool operator==(const NavPoint&) const = default;
};

struct NavHistory {
  std::string code;
  std::string name;
  std::optional<std::int64_t> fee_rate;      // the current purchase fee, percent
  std::optional<std::int64_t> min_purchase;  // fen
  std::vector<NavPoint> points;              // days strictly ascending

  bool operator==(const NavHistory&) const = default;
};

// `text` (an optional sign, digits with at most one point, nothing else) scaled by
// 10^decimals (0 to 9), rounded half away from zero beyond them; nothing for anything else or
// beyond ±10^9.
std::optional<std::int64_t> ScaledDecimal(std::string_view text, int decimals);
// `value` / 10^decimals with exactly `shown` decimals (rounded half away from zero when fewer
// than `decimals`).
std::string ScaledText(std::int64_t value, int decimals, int shown);

inline constexpr std::int32_t kFirstDayNumber = -25567;  // 1900-01-01
inline constexpr std::int32_t kLastDayNumber = 2932896;  // 9999-12-31
// Days since 1970-01-01 of a "YYYY-MM-DD" day of years 1900 to 9999; nothing for anything else.
std::optional<std::int32_t> DayNumber(std::string_view day);
// "YYYY-MM-DD" of a day number of years 1900 to 9999.
std::string DayText(std::int32_t day_number);

}  // namespace base
