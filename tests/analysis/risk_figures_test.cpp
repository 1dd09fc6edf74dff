// The risk and return figures of a series against values worked out independently (Python's
// statistics module, wealth from the 32-bit yields the chart draws).

#include "analysis/risk_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace analysis {
namespace {

struct Case {
  const char* what;
  std::vector<std::string> dates;
  std::vector<float> yields;
  double risk_free;
  // Expected figures; NaN where the figure is "--".
  double interval, annual, drawdown, volatility, sharpe;
  const char* span;  // peak and trough dates, "" when it never fell
};

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

const std::vector<std::string> kWeeks = {"2021/06/04", "2021/06/11", "2021/06/18",
                                         "2021/06/25", "2021/07/02", "2021/07/09",
                                         "2021/07/16", "2021/07/23", "2021/07/30"};

const Case kCases[] = {
    {"a known fall of 10.91 % from 1.10 to 0.98",
     {"2021/01/04", "2021/01/15", "2021/02/01", "2021/02/20", "2021/03/10", "2021/04/01"},
     {0, 10, 5, -2, 8, 12},
     0.015,
     0.1200000000000001,
     0.608753132133951,
     0.10909090909090918,
     0.3626001038413837,
     1.637487485093725,
     "2021-01-15至2021-02-20"},
    {"flat: no fall, no volatility, no Sharpe ratio",
     {"2021/05/06", "2021/05/20", "2021/06/07", "2021/07/05"},
     {3.25f, 3.25f, 3.25f, 3.25f},
     0.015,
     0,
     0,
     0,
     0,
     kNone,
     ""},
    {"two points a day apart: nothing annualised",
     {"2021/08/19", "2021/08/20"},
     {0, 1.5f},
     0.015,
     0.014999999999999902,
     kNone,
     0,
     kNone,
     kNone,
     ""},
    {"weekly",
     kWeeks,
     {0, 1.2f, -0.8f, 2.5f, 3.1f, 1.9f, 4.4f, 3.6f, 5.0f},
     0.035,
     0.050000000000000044,
     0.37438632174383923,
     0.01976284642946927,
     0.13203649021047814,
     2.5703979347135526,
     "2021-06-11至2021-06-18"},
};

void ExpectFigure(double expected, std::optional<double> actual, const char* name) {
  if (std::isnan(expected)) {
    EXPECT_FALSE(actual) << name;
  } else {
    ASSERT_TRUE(actual) << name;
    EXPECT_NEAR(expected, *actual, 1e-9) << name;
  }
}

TEST(RiskFiguresTest, FiguresMatchIndependentlyComputedValues) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const RiskFigures figures = FiguresOf(c.dates, c.yields, c.risk_free);
    ExpectFigure(c.interval, figures.interval_return, "interval");
    ExpectFigure(c.annual, figures.annual_return, "annual");
    ExpectFigure(c.drawdown, figures.max_drawdown, "drawdown");
    ExpectFigure(c.volatility, figures.volatility, "volatility");
    ExpectFigure(c.sharpe, figures.sharpe, "sharpe");
    const std::string span =
        figures.peak == figures.trough
            ? ""
            : IsoDate(c.dates[figures.peak]) + "至" + IsoDate(c.dates[figures.trough]);
    EXPECT_EQ(c.span, span);
  }
}

TEST(RiskFiguresTest, TextsRoundHalfAwayFromZeroAndShowWhatIsMissing) {
  const RiskFigures fall = FiguresOf({"2021/01/04", "2021/03/04"}, {0, -8.21f}, 0);
  EXPECT_EQ("-8.21%", DrawdownText(fall.max_drawdown));
  EXPECT_EQ("-8.21%", PercentText(fall.interval_return));
  EXPECT_EQ("0.00%", DrawdownText(0.00004));
  EXPECT_EQ("12.35%", PercentText(0.123456));
  EXPECT_EQ("-0.50%", PercentText(-0.004951));
  EXPECT_EQ("--", PercentText(std::nullopt));
  EXPECT_EQ("-1.64", RatioText(-1.6351));
  EXPECT_EQ("--", RatioText(std::nullopt));
  // A wealth of nothing or less has no figures; dates that are none have no annual ones.
  EXPECT_FALSE(FiguresOf({"2021/01/04", "2021/03/04"}, {0, -100}, 0).interval_return);
  EXPECT_FALSE(FiguresOf({"", "x", "2021/03/04"}, {0, 1, 2}, 0).annual_return);
  EXPECT_EQ("2021-08-09", IsoDate("2021/8/9"));
  EXPECT_EQ("2021/02/30", IsoDate("2021/02/30"));
  for (const auto& [text, rate] : std::vector<std::pair<const char*, double>>{{"2.25", 2.25},
                                                                              {" -0.5 ", -0.5},
                                                                              {"", 1.5},
                                                                              {"abc", 1.5},
                                                                              {"2%", 1.5},
                                                                              {"1e2", 1.5},
                                                                              {"nan", 1.5}}) {
    EXPECT_EQ(rate, RiskFreePercent(text, 1.5)) << text;
  }
}

}  // namespace
}  // namespace analysis
