#include "app/newest_wins.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
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

}  // namespace
