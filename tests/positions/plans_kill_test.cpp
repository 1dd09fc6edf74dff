// A ledger's 定投 plans caught up over ten years by a real process killed at random moments:
// once reopened and settled to the end, every period is made exactly once.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <utility>

#include "positions/kill_driver.h"
#include "positions/plans.h"
#include "positions/positions_store.h"
#include "support/temp_dir.h"

namespace {

using positions::Cycle;
using positions::Plan;
using positions::PositionsStore;
using positions_test::WaitExit;

// A new ledger with a daily, a weekly, a fortnightly and a monthly plan, and a weekly one that
// ended, all from January 2011.
void MakeLedger(const std::filesystem::path& path) {
  PositionsStore store(path);
  const Plan plans[] = {
      {0, "100001", "基金100001", 10000, positions::kFundFeeRate, Cycle::kDaily, 1, "2011-01-03",
       ""},
      {0, "100002", "基金100002", 50000, 1500, Cycle::kWeekly, 3, "2011-01-05", ""},
      {0, "100003", "基金100003", 30000, 0, Cycle::kFortnightly, 5, "2011-01-07", ""},
      {0, "100004", "基金100004", 100000, 1200, Cycle::kMonthly, 28, "2011-01-28", ""},
      {0, "100001", "基金100001", 20000, 1500, Cycle::kWeekly, 1, "2011-01-03", "2016-12-31"},
  };
  for (const Plan& plan : plans) ASSERT_TRUE(store.SavePlan(plan));
}

pid_t SpawnDriver(const std::filesystem::path& ledger) {
  return positions_test::SpawnDriver(PLANS_SETTLE_DRIVER, {ledger.string()});
}

// How often each (plan, period) is held, as a buy confirmed or pending.
std::map<std::pair<std::int64_t, std::string>, int> Periods(const std::filesystem::path& ledger) {
  std::map<std::pair<std::int64_t, std::string>, int> periods;
  const positions::Book book = PositionsStore(ledger).ReadBook();
  for (const positions::Record& record : book.records) ++periods[{record.plan, record.period}];
  for (const positions::PendingTrade& pending : book.trades) {
    ++periods[{pending.trade.plan, pending.trade.period}];
  }
  return periods;
}

TEST(PlansKillTest, AKilledCatchUpLeavesEveryPeriodMadeExactlyOnce) {
  test_support::TempDir dir;
  const std::filesystem::path clean = dir.path() / "clean.sqlite3";
  MakeLedger(clean);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(0, WaitExit(SpawnDriver(clean)));
  const auto took = std::chrono::steady_clock::now() - started;
  const auto expected = Periods(clean);
  ASSERT_GT(expected.size(), 3500u);  // ten years of five plans
  for (const auto& [period, count] : expected) ASSERT_EQ(1, count) << period.second;

  const auto ledger = [&](int run) {
    return dir.path() / ("run" + std::to_string(run) + ".sqlite3");
  };
  const int killed_midway = positions_test::KillMidway(
      {took / 20, took * 9 / 10, 5, 25, 20211208},
      [&](int run) {
        MakeLedger(ledger(run));
        return SpawnDriver(ledger(run));
      },
      [&](int run) {
        ASSERT_EQ(0, WaitExit(SpawnDriver(ledger(run))));
        EXPECT_EQ(expected, Periods(ledger(run)));
      });
  EXPECT_GE(killed_midway, positions_test::kKilledMidway);
}

}  // namespace
