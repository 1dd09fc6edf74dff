#pragma once

// The ledger the benchmarks keep: 20 funds with synthetic NAV histories over five years (weekly
// 定投 plans into each make about 5,200 buys).

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "positions/plans.h"

namespace bench_ledger {

using namespace positions;

inline constexpr int kFunds = 20;
inline constexpr char kStart[] = "2019-01-01";
inline constexpr char kToday[] = "2023-12-31";

// Weekdays from kStart to kToday, less some ten holidays a year, with a random walk of NAVs, a
// dividend each June and, for every fifth fund, a split.
inline base::NavHistory HistoryOf(int fund, std::mt19937& random) {
  base::NavHistory history;
  char code[16];
  std::snprintf(code, sizeof code, "%06d", 100 + fund);
  history.code = code;
  history.name = "基金" + std::to_string(fund);
  std::int64_t nav = 10'000;
  std::uniform_int_distribution<int> step(-150, 160);
  std::uniform_int_distribution<int> holiday(0, 25);
  bool split_done = fund % 5 != 0;
  std::string paid;  // the year of the last dividend
  for (std::int32_t day = *base::DayNumber(kStart); day <= *base::DayNumber(kToday); ++day) {
    if (WeekdayOf(day) > 5 || holiday(random) == 0) continue;
    nav = std::clamp<std::int64_t>(nav + step(random), 5'000, 90'000);
    base::NavPoint point;
    point.day = base::DayText(day);
    point.unit_nav = nav;
    // The first trading day from 15 June.
    const std::string year = point.day.substr(0, 4);
    if (year != paid && point.day.substr(5) >= "06-15") {
      point.dividend = 2'500'000;  // 0.025 a share
      paid = year;
    }
    if (!split_done && point.day >= "2021-03-01") {
      point.split_ratio = 200'000'000;
      split_done = true;
    }
    history.points.push_back(std::move(point));
  }
  return history;
}

// The plan of fund `f` of `history`: a weekly buy from kStart.
inline Plan PlanOf(int f, const base::NavHistory& history) {
  Plan plan;
  plan.id = f + 1;
  plan.code = history.code;
  plan.name = history.name;
  plan.amount = 50'000 + 10'000 * f;
  plan.fee_rate = 1'500;
  plan.cycle = Cycle::kWeekly;
  plan.day = f % 5 + 1;
  plan.start = kStart;
  return plan;
}

}  // namespace bench_ledger
