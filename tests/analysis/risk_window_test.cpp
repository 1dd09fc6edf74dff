// 风险指标 as the user meets it: opened by its button, then following the chart as funds are
// picked, compared and removed and the period buttons are pressed, against the simulated portal.

#include "analysis/risk_window.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "sim/fund_detail.h"
#include "sim/server.h"
#include "sim/yield_compare.h"

namespace {

TEST(RiskWindowTest, FollowsWhatTheChartDrawsNewestFirst) {
  sim::PortalSimOptions options;
  options.market.funds = 60;
  sim::PortalSim portal(options);
  ASSERT_GT(portal.Start(), 0);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  app_test::Program program(dir.path());
  shell::Features features;
  shell::BindEvents(program.app, features);
  app::MainWindow& main = program.app.main_window();
  app::FiguresWindow& window = program.app.figures_window();
  main.单选框1.Click();
  program.Settle();
  const auto pick = [&](int row) {  // a click on a fund row
    main.高级表格1.SetCurrentRow(row);
    main.高级表格1.on_cell_event(row, 0);
    program.Settle();
    return main.高级表格1.Text(row, 1);
  };
  // Name, period and interval return of each row; the simulated series start at 0 %, so the
  // interval return is the last yield the portal sent.
  const auto rows = [&] {
    std::string text;
    for (int row = 1; row < window.指标表格.RowCount(); ++row) {
      for (int column : {app::kFigName, app::kFigPeriod, app::kFigReturn}) {
        text += window.指标表格.Text(row, column) + " ";
      }
    }
    return text;
  };
  const auto expected = [&](const std::string& code, const char* period) {
    const sim::Fund* fund = sim::FindFund(portal.market(), code);
    char last[32];
    std::snprintf(last, sizeof last, "%.2f%%",
                  sim::YieldSeries(portal.market(), {fund}, period).back().yields[0] + 0.0);
    return fund->name + " " + analysis::PeriodText(period) + " " + last + " ";
  };

  main.指标钮.Click();
  ASSERT_TRUE(window.Visible());
  EXPECT_EQ("风险指标", window.Title());
  EXPECT_EQ("", rows());  // nothing drawn yet
  EXPECT_EQ("无风险利率1.50%", window.指标说明.Caption());
  const std::string first = pick(2);
  EXPECT_EQ(expected(first, "year"), rows());
  main.菜单.Choose(0);  // 加入对比 leaves the chart's picture, and so the window
  EXPECT_EQ(expected(first, "year"), rows());
  const std::string second = pick(5);
  EXPECT_EQ(expected(second, "year") + expected(first, "year"), rows());
  // Two period buttons at once: the later one's drawing is the one shown.
  main.按钮3.Click();
  main.按钮6.Click();
  program.Settle();
  EXPECT_EQ(expected(second, "twoyear") + expected(first, "twoyear"), rows());
  // 删除对比 and a redraw: the compared fund's row goes with its line; the rate is read anew.
  main.高级表格2.SetCurrentRow(1);
  main.菜单1.Choose(0);
  program.app.config().Write(analysis::kRiskFreeSection, analysis::kRiskFreeKey, "2.5");
  main.按钮1.Click();
  program.Settle();
  EXPECT_EQ(expected(second, "week"), rows());
  EXPECT_EQ("--", window.指标表格.Text(1, app::kFigAnnualReturn));  // a week is too short
  EXPECT_EQ("无风险利率2.50%", window.指标说明.Caption());
  window.Close();  // and opened again: the last drawing, at once
  main.指标钮.Click();
  EXPECT_EQ(expected(second, "week"), rows());
  EXPECT_TRUE(program.dialogs.shown.empty());
}

}  // namespace
