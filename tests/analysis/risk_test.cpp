// The risk and return figures of a series against values worked out independently (Python's
// statistics module, wealth from the 32-bit yields the chart draws), and 风险指标 as the user meets
// it: following the chart as funds are picked, compared and removed and periods pressed.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "analysis/risk_figures.h"
#include "analysis/risk_window.h"
#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "sim/fund_detail.h"
#include "sim/server.h"
#include "sim/yield_compare.h"

namespace analysis {
namespace {

constexpr double kNone = NAN;  // the figure is "--"

struct Case {
  std::vector<std::string> dates;
  std::vector<float> yields;
  double risk_free, interval, annual, drawdown, volatility, sharpe;
  const char* span;
};

// clang-format off
const Case kCases[] = {
  // A known fall of 10.91 % from 1.10 to 0.98.
  {{"2021/01/04", "2021/01/15", "2021/02/01", "2021/02/20", "2021/03/10", "2021/04/01"},
   {0, 10, 5, -2, 8, 12}, 0.015, 0.1200000000000001, 0.608753132133951, 0.10909090909090918,
   0.3626001038413837, 1.637487485093725, "2021-01-15至2021-02-20"},
  // Flat: no fall, no volatility, so no Sharpe ratio.
  {{"2021/05/06", "2021/05/20", "2021/06/07", "2021/07/05"}, {3.25f, 3.25f, 3.25f, 3.25f},
   0.015, 0, 0, 0, 0, kNone, ""},
  // Two points a day apart: nothing annualised.
  {{"2021/08/19", "2021/08/20"}, {0, 1.5f}, 0.015, 0.014999999999999902, kNone, 0, kNone, kNone,
   ""},
  // Weekly, 56 days.
  {{"2021/06/04", "2021/06/11", "2021/06/18", "2021/06/25", "2021/07/02", "2021/07/09",
    "2021/07/16", "2021/07/23", "2021/07/30"},
   {0, 1.2f, -0.8f, 2.5f, 3.1f, 1.9f, 4.4f, 3.6f, 5.0f}, 0.035, 0.050000000000000044,
   0.37438632174383923, 0.01976284642946927, 0.13203649021047814, 2.5703979347135526,
   "2021-06-11至2021-06-18"},
};
// clang-format on

TEST(RiskFiguresTest, FiguresMatchIndependentlyComputedValues) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.dates.front());
    const RiskFigures got = FiguresOf(c.dates, c.yields, c.risk_free);
    const double expected[] = {c.interval, c.annual, c.drawdown, c.volatility, c.sharpe};
    const std::optional<double> actual[] = {got.interval_return, got.annual_return,
                                            got.max_drawdown, got.volatility, got.sharpe};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(std::isnan(expected[i]), !actual[i]) << i;
      EXPECT_NEAR(std::isnan(expected[i]) ? 0 : expected[i], actual[i].value_or(0), 1e-9) << i;
    }
    EXPECT_EQ(c.span, got.peak == got.trough
                          ? ""
                          : IsoDate(c.dates[got.peak]) + "至" + IsoDate(c.dates[got.trough]));
  }
}

TEST(RiskFiguresTest, TextsRoundHalfAwayFromZeroAndShowWhatIsMissing) {
  EXPECT_EQ("-8.21% 0.00% -0.50% -1.64 -- --",
            DrawdownText(FiguresOf({"", ""}, {0, -8.21f}, 0).max_drawdown) + " " +
                DrawdownText(0.00004) + " " + PercentText(-0.004951) + " " + RatioText(-1.6351) +
                " " + PercentText(std::nullopt) + " " + RatioText(std::nullopt));
  EXPECT_FALSE(FiguresOf({"", ""}, {0, -100}, 0).interval_return);  // a wealth of nothing
  for (const auto& [text, rate] : std::vector<std::pair<const char*, double>>{
           {" -0.5 ", -0.5}, {"", 1.5}, {"abc", 1.5}, {"2%", 1.5}, {"1e2", 1.5}, {"nan", 1.5}}) {
    EXPECT_EQ(rate, RiskFreePercent(text, 1.5)) << text;
  }
}

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
    std::snprintf(last, sizeof last, "%.2f%% ",
                  sim::YieldSeries(portal.market(), {fund}, period).back().yields[0] + 0.0);
    return fund->name + " " + PeriodText(period) + " " + last;
  };

  main.指标钮.Click();
  ASSERT_TRUE(window.Visible());
  EXPECT_EQ("风险指标 无风险利率1.50%", window.Title() + " " + rows() + window.指标说明.Caption());
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
  program.app.config().Write(kRiskFreeSection, kRiskFreeKey, "2.5");
  main.按钮1.Click();
  program.Settle();
  // A week is too short to annualise.
  EXPECT_EQ(
      expected(second, "week") + "-- 无风险利率2.50%",
      rows() + window.指标表格.Text(1, app::kFigAnnualReturn) + " " + window.指标说明.Caption());
  window.Close();  // and opened again: the last drawing, at once
  main.指标钮.Click();
  EXPECT_EQ(expected(second, "week"), rows());
  EXPECT_TRUE(program.dialogs.shown.empty());
}

}  // namespace
}  // namespace analysis
