// A ledger's 定投 plans caught up over ten years by a real process killed at random moments:
// once reopened and settled to the end, every period is made exactly once.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <utility>

#include "positions/plans.h"
#include "positions/positions_store.h"
#include "support/temp_dir.h"

namespace {

using positions::Cycle;
using positions::Plan;
using positions::PositionsStore;

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
  const std::string driver = PLANS_SETTLE_DRIVER, where = ledger.string();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl(driver.c_str(), driver.c_str(), where.c_str(), nullptr);
    ::_exit(127);
  }
  return child;
}

int WaitExit(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

  // A run that ended before its kill (a loaded machine runs at another pace) makes the next
  // moments earlier, until three were killed midway.
  std::mt19937 random(20211208);
  int killed_midway = 0;
  auto latest = took.count() * 9 / 10;
  for (int run = 0; run < 25 && (run < 5 || killed_midway < 3); ++run) {
    SCOPED_TRACE(run);
    const std::filesystem::path ledger = dir.path() / ("run" + std::to_string(run) + ".sqlite3");
    MakeLedger(ledger);
    const pid_t driver = SpawnDriver(ledger);
    std::this_thread::sleep_for(
        std::uniform_int_distribution<std::int64_t>(took.count() / 20, latest)(random) *
        decltype(took)(1));
    if (::waitpid(driver, nullptr, WNOHANG) == 0) {
      ++killed_midway;
    } else {
      latest = std::max(took.count() / 20, latest * 7 / 10);
    }
    ::kill(driver, SIGKILL);
    WaitExit(driver);
    ASSERT_EQ(0, WaitExit(SpawnDriver(ledger)));
    EXPECT_EQ(expected, Periods(ledger));
  }
  EXPECT_GE(killed_midway, 3);
}

}  // namespace
