#include "positions/plans.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "base/decimal.h"

namespace positions {

namespace {

bool IsCode(std::string_view code) {
  return code.size() == 6 &&
         std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int> SmallNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

// The day number of `year`-`month`-`day`.
std::optional<std::int32_t> DayOf(int year, int month, int day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return base::DayNumber(text);
}

}  // namespace

std::optional<std::int64_t> ParseAmount(std::string_view text) {
  const std::optional<std::int64_t> fen = base::ParsePositive(text, 2);
  if (!fen || *fen >= kMoneyLimit) return std::nullopt;
  return fen;
}

std::optional<std::int64_t> ParseFeeRate(std::string_view text) {
  const std::optional<std::int64_t> rate = base::ParseNonNegative(text, base::kNavDecimals);
  if (!rate || *rate > kFeeRateLimit) return std::nullopt;
  return rate;
}

std::string FeeRateText(std::int64_t rate) {
  if (rate == kFundFeeRate) return {};
  std::string text = base::FormatScaled(rate, base::kNavDecimals);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::variant<Plan, std::string> ReadPlan(const PlanTexts& texts, std::int64_t default_rate) {
  Plan plan;
  plan.code = texts.code;
  plan.name = texts.name;
  plan.paused = texts.paused;
  if (!IsCode(texts.code)) return std::string(kPlanBadCodeText);
  const std::optional<std::int64_t> amount = ParseAmount(texts.amount);
  if (!amount) return std::string(kPlanBadAmountText);
  plan.amount = *amount;
  const std::optional<std::int64_t> rate = texts.fee_rate.empty()
                                               ? std::optional<std::int64_t>(default_rate)
                                               : ParseFeeRate(texts.fee_rate);
  // The default is taken as given: kFundFeeRate (the fund's own rate) is below 0.
  if (!rate || (*rate != kFundFeeRate && (*rate < 0 || *rate > kFeeRateLimit))) {
    return std::string(kBadFeeRateText);
  }
  plan.fee_rate = *rate;
  const auto cycle = std::find(std::begin(kCycleTexts), std::end(kCycleTexts), texts.cycle);
  if (cycle == std::end(kCycleTexts)) return std::string(kBadCycleText);
  plan.cycle = static_cast<Cycle>(cycle - std::begin(kCycleTexts));
  if (plan.cycle == Cycle::kWeekly || plan.cycle == Cycle::kFortnightly) {
    const auto weekday = std::find(std::begin(kWeekdayTexts), std::end(kWeekdayTexts), texts.day);
    if (weekday == std::end(kWeekdayTexts)) return std::string(kBadWeekdayText);
    plan.day = static_cast<int>(weekday - std::begin(kWeekdayTexts)) + 1;
  } else if (plan.cycle == Cycle::kMonthly) {
    const std::optional<int> day = SmallNumber(texts.day);
    if (!day || *day < 1 || *day > 28) return std::string(kBadMonthDayText);
    plan.day = *day;
  }
  const std::optional<std::int32_t> start = base::DayNumber(texts.start);
  if (!start) return std::string(kBadStartText);
  plan.start = base::DayText(*start);
  if (!texts.end.empty()) {
    const std::optional<std::int32_t> end = base::DayNumber(texts.end);
    if (!end) return std::string(kBadEndText);
    if (*end < *start) return std::string(kEndBeforeStartText);
    plan.end = base::DayText(*end);
  }
  return plan;
}

int WeekdayOf(std::int32_t day_number) {
  // 1970-01-01 was a Thursday.
  return ((day_number + 3) % 7 + 7) % 7 + 1;
}

std::vector<std::string> PeriodDays(const Plan& plan, std::string_view from, std::string_view today,
                                    const base::NavHistory& history) {
  std::vector<std::string> days;
  const std::optional<std::int32_t> start = base::DayNumber(plan.start);
  const std::optional<std::int32_t> first = base::DayNumber(from);
  std::optional<std::int32_t> last = base::DayNumber(today);
  if (plan.paused || !start || !first || !last) return days;
  if (!plan.end.empty()) {
    const std::optional<std::int32_t> end = base::DayNumber(plan.end);
    if (!end) return days;
    last = std::min(*last, *end);
  }
  const std::int32_t begin = std::max(*start, *first);
  if (begin > *last) return days;

  switch (plan.cycle) {
    case Cycle::kDaily: {
      // Within the history only its days (a weekday without a NAV is a holiday; a weekend point,
      // a rare correction, is no period), every weekday after its last day (a holiday among
      // them is dropped when the history passes it), none before its first or without one.
      if (history.points.empty()) break;
      const std::string low = base::DayText(begin), high = base::DayText(*last);
      for (const base::NavPoint& point : history.points) {
        if (point.day < low || point.day > high) continue;
        const std::optional<std::int32_t> day = base::DayNumber(point.day);
        if (day && WeekdayOf(*day) <= 5) days.push_back(point.day);
      }
      const std::optional<std::int32_t> newest = base::DayNumber(history.points.back().day);
      if (!newest) break;
      for (std::int32_t day = std::max(begin, *newest + 1); day <= *last; ++day) {
        if (WeekdayOf(day) <= 5) days.push_back(base::DayText(day));
      }
      break;
    }
    case Cycle::kWeekly:
    case Cycle::kFortnightly: {
      if (plan.day < 1 || plan.day > 5) break;
      // The first such weekday on or after the start; then every week or every other week.
      const std::int32_t anchor = *start + (plan.day - WeekdayOf(*start) + 7) % 7;
      const int step = plan.cycle == Cycle::kWeekly ? 7 : 14;
      std::int32_t day = anchor;
      if (begin > anchor) day += (begin - anchor + step - 1) / step * step;
      for (; day <= *last; day += step) days.push_back(base::DayText(day));
      break;
    }
    case Cycle::kMonthly: {
      if (plan.day < 1 || plan.day > 28) break;
      const std::string text = base::DayText(begin);
      int year = std::stoi(text.substr(0, 4));
      int month = std::stoi(text.substr(5, 2));
      for (;;) {
        const std::optional<std::int32_t> day = DayOf(year, month, plan.day);
        if (!day || *day > *last) break;
        if (*day >= begin) days.push_back(base::DayText(*day));
        if (++month > 12) {
          month = 1;
          ++year;
        }
      }
      break;
    }
  }
  return days;
}

bool IsHoliday(const base::NavHistory& history, std::string_view day) {
  if (history.points.empty() || history.points.front().day > day ||
      history.points.back().day <= day) {
    return false;
  }
  const auto at = std::lower_bound(
      history.points.begin(), history.points.end(), day,
      [](const base::NavPoint& point, std::string_view wanted) { return point.day < wanted; });
  return at->day != day;
}

Trade PeriodTrade(const Plan& plan, const std::string& day) {
  Trade trade;
  trade.day = day;
  trade.code = plan.code;
  trade.name = plan.name;
  trade.amount = plan.amount;
  trade.fee_rate = plan.fee_rate;
  trade.plan = plan.id;
  trade.period = day;
  trade.account = plan.account;
  return trade;
}

}  // namespace positions
