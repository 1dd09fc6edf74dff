// A detail load ends with the comparison chart's refresh, also for an empty code, and leaves it
// to the newer load when it is overtaken.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/app_fixture.h"
#include "funds/fund_profile.h"
#include "sim/server.h"

namespace {

TEST(FundProfileChartTest, EveryDetailLoadEndsWithTheChartUnlessOvertaken) {
  sim::PortalSimOptions options;
  options.market.funds = 40;
  options.market.boards = 2;
  sim::PortalSim portal(options);
  ASSERT_GT(portal.Start(), 0);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  app_test::Program program(dir.path());
  app::App& app = program.app;

  // The fund each refresh found in the first comparison slot.
  std::vector<std::string> refreshed;
  funds::Funds funds(app);
  const funds::ChartRefresh refresh = [&] { refreshed.push_back(funds.detail().current_code); };

  funds::LoadFundDetails(funds, 1, "", refresh);  // no fund in the grid
  EXPECT_EQ(std::vector<std::string>{""}, refreshed);

  ui::Grid& grid = app.main_window().高级表格1;
  const std::string first = portal.market().funds()[4].code;
  const std::string second = portal.market().funds()[9].code;
  grid.SetText(1, 1, first);
  grid.SetText(2, 1, second);
  grid.SetCurrentRow(1);
  // The user picks the second fund while the first one's pages are on their way.
  funds::OnFundRowSelected(funds, refresh);
  while (portal.requests().Count() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  grid.SetCurrentRow(2);
  funds::OnFundRowSelected(funds, refresh);
  program.Settle();
  EXPECT_EQ((std::vector<std::string>{"", second}), refreshed);
  EXPECT_NE("", grid.Text(2, 14));
  EXPECT_EQ("", grid.Text(1, 14));
}

}  // namespace
