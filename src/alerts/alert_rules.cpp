#include "alerts/alert_rules.h"

#include "base/decimal.h"
#include "positions/ledger.h"

namespace alerts {

namespace {

constexpr int kPercentDecimals = 2;
// Day changes are compared finer than they are shown, so that no rounding decides.
constexpr int kChangeDecimals = 4;

bool IsNav(Condition condition) {
  return condition == Condition::kNavAtLeast || condition == Condition::kNavAtMost;
}

bool AtLeast(Condition condition) {
  return condition != Condition::kNavAtMost && condition != Condition::kRateAtMost;
}

// The condition's name without its comparison ("日跌幅").
std::string_view Measure(Condition condition) {
  std::string_view text = kConditionTexts[static_cast<int>(condition)];
  return text.substr(0, text.size() - std::string_view("≥").size());
}

// The figure the condition compares, at the threshold's scale (day changes finer); the text
// the user reads for it.
struct Reading {
  std::int64_t value = 0;
  std::int64_t threshold = 0;
  std::string text;
};

std::optional<Reading> ReadingOf(const Rule& rule, const Figures& figures) {
  using base::FormatScaled;
  switch (rule.condition) {
    case Condition::kDayRise:
    case Condition::kDayFall: {
      std::optional<std::int64_t> change = base::ParseSigned(figures.day_change, kChangeDecimals);
      if (!change) return std::nullopt;
      if (rule.condition == Condition::kDayFall) *change = -*change;
      const std::int64_t shown = *base::RoundDivide(*change, 100);  // smaller: it exists
      return Reading{*change, rule.threshold * 100, FormatScaled(shown, kPercentDecimals) + "%"};
    }
    case Condition::kNavAtLeast:
    case Condition::kNavAtMost: {
      const std::optional<std::int64_t> nav =
          base::ParsePositive(figures.unit_nav, positions::kPriceDecimals);
      if (!nav) return std::nullopt;
      return Reading{*nav, rule.threshold, FormatScaled(*nav, positions::kPriceDecimals)};
    }
    case Condition::kRateAtLeast:
    case Condition::kRateAtMost:
      if (!figures.rate) return std::nullopt;
      return Reading{*figures.rate, rule.threshold, positions::RateText(*figures.rate)};
  }
  return std::nullopt;
}

std::string ThresholdText(const Rule& rule) {
  return IsNav(rule.condition) ? base::FormatScaled(rule.threshold, positions::kPriceDecimals)
                               : base::FormatScaled(rule.threshold, kPercentDecimals) + "%";
}

}  // namespace

std::optional<Condition> ConditionOf(std::string_view text) {
  for (size_t i = 0; i < kConditionTexts.size(); ++i) {
    if (kConditionTexts[i] == text) return static_cast<Condition>(i);
  }
  return std::nullopt;
}

bool NeedsPosition(Condition condition) {
  return condition == Condition::kRateAtLeast || condition == Condition::kRateAtMost;
}

std::optional<std::int64_t> ParseThreshold(Condition condition, std::string_view text) {
  return base::ParsePositive(text, IsNav(condition) ? positions::kPriceDecimals : kPercentDecimals);
}

std::string LatestText(Condition condition, const Figures& figures) {
  if (IsNav(condition)) return figures.unit_nav;
  if (NeedsPosition(condition)) return figures.rate ? positions::RateText(*figures.rate) : "";
  return figures.day_change;
}

std::optional<std::string> Fired(const Rule& rule, const Figures& figures) {
  const std::optional<Reading> reading = ReadingOf(rule, figures);
  if (!reading || figures.nav_date.empty() || figures.unit_nav.empty()) return std::nullopt;
  const bool holds = AtLeast(rule.condition) ? reading->value >= reading->threshold
                                             : reading->value <= reading->threshold;
  if (!holds) return std::nullopt;
  return rule.name + "(" + rule.code + ") " + std::string(Measure(rule.condition)) + " " +
         reading->text + " " + (AtLeast(rule.condition) ? "≥" : "≤") + " " + ThresholdText(rule) +
         "，净值" + figures.unit_nav + "（" + figures.nav_date + "）";
}

}  // namespace alerts
