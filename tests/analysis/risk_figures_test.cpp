// The risk and return figures of a series against values worked out independently (Python's
// statistics module, wealth from the 32-bit yields the chart draws).

#include "analysis/risk_figures.h"

#include <gtest/gtest.h>

#include <cmath>

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
      if (actual[i] && !std::isnan(expected[i])) {
        EXPECT_NEAR(expected[i], *actual[i], 1e-9) << i;
      }
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

}  // namespace
}  // namespace analysis
