#pragma once

// What an alert rule says and when it holds: the six conditions, the threshold as typed, the
// figures of the fund's main page they are measured on, and the text a fired rule tells the
// user. Plain values: no ui, no app.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace alerts {

enum class Condition { kDayRise, kDayFall, kNavAtLeast, kNavAtMost, kRateAtLeast, kRateAtMost };

// The conditions as the choice box lists them, in the order of Condition.
inline constexpr std::array<std::string_view, 6> kConditionTexts = {
    "日涨幅≥", "日跌幅≥", "净值≥", "净值≤", "收益率≥", "收益率≤"};

std::optional<Condition> ConditionOf(std::string_view text);
// 收益率: the position's rate, which only a fund held has.
bool NeedsPosition(Condition condition);

// The threshold as typed: a decimal above 0, with at most two decimals for a percentage and four
// for a NAV, scaled by 10^decimals; nothing for anything else (blanks, signs, a "%").
std::optional<std::int64_t> ParseThreshold(Condition condition, std::string_view text);

// What one check of a fund gave, and the position's rate where the rule needs it.
struct Figures {
  std::string unit_nav;              // "1.2340"
  std::string nav_date;              // "2021-08-06"
  std::string day_change;            // "-2.31%"
  std::optional<std::int64_t> rate;  // hundredths of a percent
};

struct Rule {
  std::string code;
  std::string name;
  Condition condition = Condition::kDayRise;
  std::int64_t threshold = 0;  // as ParseThreshold scales it
};

// The rule's figure in its grid column: the day change, the NAV or the rate; empty without one.
std::string LatestText(Condition condition, const Figures& figures);

// When the rule holds on `figures`, the text telling it, e.g. "华夏成长混合(000001) 日跌幅 2.31%
// ≥ 2.00%，净值1.2340（2021-08-06）"; nothing when it does not hold or a figure it needs is
// missing.
std::optional<std::string> Fired(const Rule& rule, const Figures& figures);

}  // namespace alerts
