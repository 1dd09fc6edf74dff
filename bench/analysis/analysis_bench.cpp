// The day-by-day analysis of a ledger kept by 20 weekly 定投 plans over five years (about 5,200
// buys, with the histories' dividends and splits) against synthetic NAV histories with
// holidays: the day series, the month and year totals, the monthly returns and the summary.
// Prints the best time of the whole and its ratio to the goal of 200 ms.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "positions/analysis.h"
#include "positions/plans.h"
#include "positions/trades.h"
#include "synthetic_ledger.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace positions;
using namespace bench_ledger;

// The plans' buys confirmed against the histories, and the dividends and splits these make.
std::vector<Record> LedgerOf(const std::vector<base::NavHistory>& histories) {
  std::vector<Record> records;
  for (size_t f = 0; f < histories.size(); ++f) {
    const Plan plan = PlanOf(static_cast<int>(f), histories[f]);
    for (const std::string& day : PeriodDays(plan, plan.start, kToday, histories[f])) {
      const Confirmation confirmation = Confirm(PeriodTrade(plan, day), histories[f]);
      if (confirmation.state == TradeState::kConfirmed) records.push_back(confirmation.record);
    }
  }
  // Some funds partly sold each December.
  for (size_t f = 0; f < histories.size(); f += 4) {
    for (const base::NavPoint& point : histories[f].points) {
      if (point.day.substr(5, 5) != "12-20") continue;
      Record sale{point.day,
                  histories[f].code,
                  histories[f].name,
                  RecordKind::kSell,
                  100'000,
                  point.unit_nav,
                  500};
      records.push_back(sale);
    }
  }
  for (size_t f = 0; f < histories.size(); ++f) {
    const std::vector<Record> made = HistoryRecords(
        records, histories[f], f % 2 == 0 ? DividendMode::kCash : DividendMode::kReinvest);
    records.insert(records.end(), made.begin(), made.end());
  }
  return records;
}

}  // namespace

int main() {
  std::mt19937 random(40);
  std::map<std::string, base::NavHistory> histories;
  std::vector<base::NavHistory> list;
  for (int f = 0; f < kFunds; ++f) {
    list.push_back(HistoryOf(f, random));
    histories[list.back().code] = list.back();
  }
  const std::vector<Record> records = LedgerOf(list);
  Analysis analysis;
  double best = 1e300;
  for (int round = 0; round < 7; ++round) {
    const auto start = Clock::now();
    analysis = Analyse(records, histories);
    const std::chrono::duration<double, std::milli> spent = Clock::now() - start;
    best = std::min(best, spent.count());
  }
  std::printf("%d funds, %zu records (%zu refused), %zu trading days, %zu months\n", kFunds,
              records.size(), analysis.refused, analysis.days.size(), analysis.months.size());
  std::printf("value %lld fen, profit %lld fen, time-weighted %.4f, money-weighted %.4f\n",
              static_cast<long long>(analysis.summary.value),
              static_cast<long long>(analysis.summary.profit),
              analysis.summary.time_weighted.value_or(0),
              analysis.summary.money_weighted.value_or(0));
  std::printf("analysis: %.2f ms, ratio to the 200 ms goal %.3f (goal <= 1)\n", best, best / 200.0);
  return analysis.days.empty() ? 1 : 0;
}
