#include "app/newest_wins.h"

#include <gtest/gtest.h>

#include "app/app_fixture.h"

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

}  // namespace
