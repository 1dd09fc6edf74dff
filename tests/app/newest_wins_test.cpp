#include "app/newest_wins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/app_fixture.h"
#include "app/load.h"
#include "net/transfer_control.h"

namespace {

using app::LoadTarget;

TEST(NewestWinsTest, LoadIsOvertakenByANewerLoadOrAResetOfItsTargetOnly) {
  app::LoadGenerations loads;
  const app::LoadTicket first = loads.Start(LoadTarget::kFundGrid);
  const app::LoadTicket search = loads.Start(LoadTarget::kSearchList);
  EXPECT_TRUE(loads.IsCurrent(first));

  const app::LoadTicket second = loads.Start(LoadTarget::kFundGrid);
  EXPECT_FALSE(loads.IsCurrent(first));
  EXPECT_TRUE(loads.IsCurrent(second));
  EXPECT_TRUE(loads.IsCurrent(search));

  loads.Invalidate(LoadTarget::kFundGrid);  // refilled by someone else
  EXPECT_FALSE(loads.IsCurrent(second));
  EXPECT_TRUE(loads.IsCurrent(search));
}

TEST(NewestWinsTest, BusyTargetRefusesUserLoadsWithTheMessageAndKeepsTheRunningOne) {
  app_test::AppFixture f;
  app::LoadGenerations& loads = f.app.loads();
  const app::LoadTicket download = loads.Start(LoadTarget::kFundGrid);
  loads.SetBusy(LoadTarget::kFundGrid, true);

  EXPECT_FALSE(app::StartLoadOrRefuse(f.app, LoadTarget::kFundGrid).has_value());
  EXPECT_EQ(std::vector<std::string>{"数据加载中，请稍后再试"}, f.dialogs.shown);
  EXPECT_TRUE(loads.IsCurrent(download));
  EXPECT_TRUE(app::StartLoadOrRefuse(f.app, LoadTarget::kHoldingsGrid).has_value());

  loads.SetBusy(LoadTarget::kFundGrid, false);
  const std::optional<app::LoadTicket> next = app::StartLoadOrRefuse(f.app, LoadTarget::kFundGrid);
  ASSERT_TRUE(next.has_value());
  EXPECT_FALSE(loads.IsCurrent(download));
  EXPECT_EQ(1u, f.dialogs.shown.size());
}

TEST(StartLoadTest, FetchesOnAWorkerAndAppliesOnTheUiThreadOnlyTheNewestLoad) {
  app_test::AppFixture f;
  app::LoadGenerations& loads = f.app.loads();
  std::vector<std::string> applied, dropped;
  std::atomic<bool> release{false}, entered{false};
  std::atomic<bool> still_wanted_seen{true};
  auto start = [&](const std::string& name, bool hold) {
    return app::StartLoad(
        f.app, loads.Start(LoadTarget::kSearchList),
        [&, name, hold] {
          EXPECT_FALSE(f.ui.IsUiThread());
          entered = entered || hold;
          while (hold && !release) std::this_thread::yield();
          // What a transfer of this load would now see.
          if (hold) still_wanted_seen = net::StillWantedOnThisThread();
          return name;
        },
        [&](const std::string& value) {
          EXPECT_TRUE(f.ui.IsUiThread());
          applied.push_back(value);
        },
        [&, name] { dropped.push_back(name); });
  };
  EXPECT_TRUE(start("first", true));
  while (!entered) std::this_thread::yield();
  EXPECT_TRUE(start("second", false));
  // The second answer is drawn while the first still waits: nothing holds it up.
  while (applied.empty())
    f.ui.PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
  EXPECT_EQ(std::vector<std::string>{"second"}, applied);
  EXPECT_EQ(1, loads.InFlight());
  release = true;
  f.Settle();
  EXPECT_EQ(std::vector<std::string>{"second"}, applied);
  EXPECT_EQ(std::vector<std::string>{"first"}, dropped);
  EXPECT_FALSE(still_wanted_seen.load());
  EXPECT_EQ(0, loads.InFlight());

  // Once the program ends no worker starts: nothing is fetched, and the load gives back what it
  // held.
  f.app.workers().RequestStop();
  EXPECT_FALSE(start("late", false));
  EXPECT_EQ(std::vector<std::string>({"first", "late"}), dropped);
  EXPECT_EQ(0, loads.InFlight());
}

struct Numbered {
  int number = 0;
  int attempt = 1;
};

TEST(LoadEachTest, AsksAtMostNAtOnceAndAsksAFailedItemAgainAfterItsWait) {
  app_test::AppFixture f;
  std::atomic<int> running{0}, most{0};
  std::vector<std::pair<int, int>> applied;  // number, attempt
  std::vector<bool> done;
  std::vector<Numbered> items;
  for (int n = 1; n <= 12; ++n) items.push_back({n, 1});
  app::LoadEach(
      f.app, f.app.loads().Start(LoadTarget::kAlerts), items, 3,
      [&](const Numbered& item) {
        const int now = ++running;
        for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        --running;
        return item.number % 5 != 0 || item.attempt == 2;  // 5 and 10 fail their first try
      },
      [&](const Numbered& item, bool answered) -> std::optional<app::EachRetry<Numbered>> {
        applied.emplace_back(item.number, item.attempt);
        if (answered) return std::nullopt;
        return app::EachRetry<Numbered>{std::chrono::seconds(1), {item.number, 2}};
      },
      [&](bool completed) { done.push_back(completed); });
  f.Settle();
  EXPECT_EQ(3, most.load());
  // Every item once, and the two that failed once more, each after its first try.
  std::vector<std::pair<int, int>> expected;
  for (int n = 1; n <= 12; ++n) expected.emplace_back(n, 1);
  expected.emplace_back(5, 2);
  expected.emplace_back(10, 2);
  std::vector<std::pair<int, int>> sorted = applied;
  std::sort(sorted.begin(), sorted.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, sorted);
  for (int n : {5, 10}) {
    EXPECT_LT(std::find(applied.begin(), applied.end(), std::make_pair(n, 1)),
              std::find(applied.begin(), applied.end(), std::make_pair(n, 2)));
  }
  EXPECT_EQ(std::vector<bool>{true}, done);
  EXPECT_EQ(0, f.app.loads().InFlight());
}

TEST(LoadEachTest, AnOvertakenFanOutAsksNothingMoreAndWritesNothing) {
  app_test::AppFixture f;
  std::atomic<bool> release{false};
  std::atomic<int> fetched{0};
  int applied = 0;
  std::vector<bool> done;
  app::LoadEach(
      f.app, f.app.loads().Start(LoadTarget::kPositions), std::vector<int>(10, 0), 2,
      [&](int) {
        ++fetched;
        while (!release) std::this_thread::yield();
        return 0;
      },
      [&](int, int) { ++applied; }, [&](bool completed) { done.push_back(completed); });
  while (fetched < 2) std::this_thread::yield();
  f.app.loads().Start(LoadTarget::kPositions);
  release = true;
  f.Settle();
  EXPECT_EQ(2, fetched.load());
  EXPECT_EQ(0, applied);
  EXPECT_EQ(std::vector<bool>{false}, done);
  EXPECT_EQ(0, f.app.loads().InFlight());
}

}  // namespace
