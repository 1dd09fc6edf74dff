// The money-weighted annual return against independently computed rates, and the flows the
// ledger's records give.

#include "positions/annual_return.h"

#include <gtest/gtest.h>

#include <cmath>

namespace positions {
namespace {

long Day(const char* text) { return *DayOf(text); }

TEST(AnnualReturnTest, RatesMatchIndependentValuesAndMissingOnesAreNone) {
  // The standard example: 37.34 % (0.373362533... by bisection in Python).
  const std::vector<CashFlow> standard = {{Day("2008-01-01"), -1000000},
                                          {Day("2008-03-01"), 275000},
                                          {Day("2008-10-30"), 425000},
                                          {Day("2009-02-15"), 325000},
                                          {Day("2009-04-01"), 275000}};
  ASSERT_TRUE(Xirr(standard));
  EXPECT_NEAR(0.37336253351883136, *Xirr(standard), 1e-9);
  EXPECT_EQ("37.34%", RateText(std::llround(*Xirr(standard) * 10000)));
  // Newton's first step from 10 % leaves the domain here; the bracket finds 10^-0.2 - 1.
  const std::optional<double> loss = Xirr({{0, -10000}, {3650, 100}});
  ASSERT_TRUE(loss);
  EXPECT_NEAR(std::pow(10, -0.2) - 1, *loss, 1e-9);
  EXPECT_FALSE(Xirr({{0, -10000}, {6, 10100}}));   // fewer than 7 days
  EXPECT_FALSE(Xirr({{0, -10000}, {30, -5000}}));  // money only paid in
  EXPECT_FALSE(Xirr({{0, -100000}, {8, 10000}}));  // no rate above a total loss solves it
  EXPECT_FALSE(Xirr({}));
}

TEST(AnnualReturnTest, FlowsCountFeesDividendsAndTheValueAtTheQuote) {
  const std::vector<Record> records = {
      {"2021-01-04", "000001", "甲", RecordKind::kBuy, 100000, 12345, 150, 0},
      {"2021-02-01", "000002", "乙", RecordKind::kBuy, 10000, 10000, 0, 0},
      {"2021-03-01", "000001", "甲", RecordKind::kCashDividend, 0, 0, 0, 1234},
      {"2021-04-01", "000001", "甲", RecordKind::kReinvest, 1000, 13000, 0, 0},
      {"2021-05-06", "000001", "甲", RecordKind::kSell, 33333, 14000, 50, 0},
      {"2021-06-01", "000002", "乙", RecordKind::kSell, 10000, 11000, 0, 0},
  };
  const std::map<std::string, Quote> quotes = {{"000001", {"1.4500", "2021-08-06", "0.1%"}}};
  const std::vector<CashFlow> own = {{Day("2021-01-04"), -123600},
                                     {Day("2021-03-01"), 1234},
                                     {Day("2021-05-06"), 46616},
                                     {Day("2021-08-06"), 98117}};  // 676.67 × 1.4500
  const auto flows = [](std::optional<std::vector<CashFlow>> got) {
    std::vector<std::pair<long, std::int64_t>> pairs;
    for (const CashFlow& flow : got.value_or(std::vector<CashFlow>{})) {
      pairs.emplace_back(flow.day, flow.fen);
    }
    return pairs;
  };
  EXPECT_EQ(flows(own), flows(FlowsOf(records, quotes, "000001")));
  // All funds: the sold-out one's flows count too, and it needs no quote.
  std::vector<CashFlow> all = own;
  all.insert(all.begin() + 1, {Day("2021-02-01"), -10000});
  all.insert(all.end() - 1, {Day("2021-06-01"), 11000});
  EXPECT_EQ(flows(all), flows(FlowsOf(records, quotes)));
  EXPECT_FALSE(FlowsOf(records, {}, "000001"));  // a held fund without a quote
}

}  // namespace
}  // namespace positions
