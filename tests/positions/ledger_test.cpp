// The ledger's arithmetic on exact decimals, and its money-weighted annual return against rates
// worked out independently.

#include "positions/ledger.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/decimal.h"
#include "positions/annual_return.h"

namespace positions {
namespace {

using base::FormatScaled;
using base::ParsePositive;
using base::ParseSigned;
using base::RoundDivide;

Record Buy(std::int64_t shares, std::int64_t price) {
  return {"2021-08-02", "000001", "甲", RecordKind::kBuy, shares, price};
}
Record Sell(std::int64_t shares, std::int64_t price) {
  return {"2021-08-03", "000001", "甲", RecordKind::kSell, shares, price};
}

TEST(LedgerTest, BuysAndASaleGiveExactCostCostPriceAndRealisedProfit) {
  Position position{"000001", "甲", 0, 0, 0};
  ASSERT_TRUE(Apply(position, Buy(100000, 12340)));  // 1000.00 at 1.2340
  EXPECT_EQ(123400, position.cost);
  ASSERT_TRUE(Apply(position, Buy(50000, 15000)));  // 500.00 at 1.5000
  EXPECT_EQ(198400, position.cost);
  EXPECT_EQ(13227, *FiguresOf(position, nullptr).cost_price);
  ASSERT_TRUE(Apply(position, Sell(30000, 16000)));  // 300.00 at 1.6000
  EXPECT_EQ(8320, position.realised);                // 480.00 - 396.80
  EXPECT_EQ(158720, position.cost);
  EXPECT_EQ(120000, position.shares);
  EXPECT_FALSE(Apply(position, Sell(120001, 16000)));
  EXPECT_EQ(120000, position.shares);
  ASSERT_TRUE(Apply(position, Sell(120000, 16000)));
  EXPECT_EQ(0, position.shares);
  EXPECT_EQ(0, position.cost);
}

TEST(LedgerTest, TodaysAndHeldProfitFollowTheQuote) {
  const Position position{"000001", "甲", 120000, 150000, 0};
  Quote quote{"1.2340", "2021-08-06", "0.52%"};
  RowFigures figures = FiguresOf(position, &quote);
  EXPECT_EQ(766, *figures.today_profit);  // 1200 × 1.2340 × 0.52 / 100.52
  EXPECT_EQ(148080 - 150000, *figures.held_profit);
  EXPECT_EQ("-1.28%", RateText(*figures.rate));
  quote.day_change = "-0.52%";
  EXPECT_EQ(-774, *FiguresOf(position, &quote).today_profit);  // 1480.80 × 0.52 / 99.48
  quote.unit_nav = "";
  figures = FiguresOf(position, &quote);
  EXPECT_FALSE(figures.today_profit || figures.held_profit || figures.rate);

  const RowFigures total = TotalOf({{100, 0, 5, 10, 0}, {300, 0, -8, 50, 0}, {200, 0, {}, {}, {}}});
  EXPECT_EQ(600, total.cost);
  EXPECT_EQ(-3, *total.today_profit);
  EXPECT_EQ(60, *total.held_profit);
  EXPECT_EQ(1000, *total.rate);  // 60 / 600: the total's own two figures
  // One position not refreshed yet: the rate is 245.07 / 825.02, not 245.07 / 823.00.
  EXPECT_EQ("29.70%", RateText(*TotalOf({{82300, 0, 0, 24507, 0}, {202, 0, {}, {}, {}}}).rate));
}

TEST(LedgerTest, NumbersParseExactlyAndFormatWithSign) {
  EXPECT_EQ(100000, ParsePositive("1000", 2));
  EXPECT_EQ(100050, ParsePositive("1000.5", 2));
  EXPECT_EQ(12340, ParsePositive("1.234", 4));
  for (const char* bad :
       {"", "0", "0.00", "-1", "+1", "1.", ".5", "1.234", "1e3", "1 0", "abc", "1234567890123"}) {
    EXPECT_FALSE(ParsePositive(bad, 2)) << bad;
  }
  EXPECT_EQ(5200, ParseSigned("0.52%", 4));
  EXPECT_EQ(-12346, ParseSigned("-1.23456%", 4));  // half away from zero
  EXPECT_EQ("+7.66", FormatScaled(766, 2, true));
  EXPECT_EQ("-8.00", FormatScaled(-800, 2, true));
  EXPECT_EQ("0.00", FormatScaled(0, 2, true));
  EXPECT_EQ("-0.05", FormatScaled(-5, 2));
  EXPECT_EQ(-3, RoundDivide(-25, 10));
  EXPECT_EQ(3, RoundDivide(25, 10));
}

TEST(AnnualReturnTest, RatesMatchIndependentValuesAndMissingOnesAreNone) {
  const auto day = [](const char* text) { return *DayOf(text); };
  // The standard example: 0.373362533... (bisection in Python), shown as 37.34 %.
  const std::optional<double> standard = Xirr({{day("2008-01-01"), -1000000},
                                               {day("2008-03-01"), 275000},
                                               {day("2008-10-30"), 425000},
                                               {day("2009-02-15"), 325000},
                                               {day("2009-04-01"), 275000}});
  ASSERT_TRUE(standard);
  EXPECT_NEAR(0.37336253351883136, *standard, 1e-9);
  EXPECT_EQ("37.34%", RateText(std::llround(*standard * 10000)));
  // Rates far below 10 %: 10^-0.2 - 1, and a loss of 14.5 % in ten days after a buy thirty
  // years before, -99.67 % (bisection in Python to 60 digits).
  const struct {
    std::vector<CashFlow> flows;
    double rate;
  } losses[] = {
      {{{0, -10000}, {3650, 100}}, std::pow(10, -0.2) - 1},
      {{{day("1996-01-02"), -1000000}, {day("2026-01-02"), -1000000}, {day("2026-01-12"), 855000}},
       -0.99671327636708587},
  };
  for (const auto& loss : losses) {
    const std::optional<double> rate = Xirr(loss.flows);
    ASSERT_TRUE(rate) << loss.rate;
    EXPECT_NEAR(loss.rate, *rate, 1e-9);
  }
  const std::vector<CashFlow> none[] = {
      {{0, -10000}, {6, 10100}},   // fewer than 7 days
      {{0, -10000}, {30, -5000}},  // money only paid in
      {{0, -100000}, {8, 10000}},  // no rate above a total loss solves it
      {}};
  for (const std::vector<CashFlow>& flows : none) EXPECT_FALSE(Xirr(flows)) << flows.size();
}

}  // namespace
}  // namespace positions
