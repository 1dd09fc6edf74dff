// Fees and dividends in the positions window: a worked example exact to the fen, and the
// money-weighted annual return its flows give, of a fund and of all of them.

#include <gtest/gtest.h>

#include <cmath>

#include "base/decimal.h"
#include "positions/annual_return.h"
#include "positions/positions_fixture.h"

namespace {

using positions_test::PositionsWindowTest;

TEST_F(PositionsWindowTest, FeesAndDividendsAreExactToTheFenAndGiveTheFlows) {
  Open();
  const auto figures = [&] {  // 持有份额, 成本价, 持仓成本 and 累计分红 of the first row
    std::string text;
    for (int column : {app::kPosShares, app::kPosCostPrice, app::kPosCost, app::kPosDividends}) {
      text += grid().Text(1, column) + " ";
    }
    return text;
  };
  const std::string code = Fund(0).code;
  Enter(code, "1000", "1.2345", "2021-01-04");
  Press(window().买入钮, "1.50");  // cost 1234.50 + 1.50
  Enter(code, "", "", "2021-03-01");
  Press(window().现金分红钮, "", "12.34");
  Enter(code, "10.00", "1.3000", "2021-04-01");
  Press(window().红利再投钮);  // 13.00 in shares: the cost stays, the cost price falls
  EXPECT_EQ("1010.00 1.2238 1236.00 25.34 ", figures());
  // The sale takes 1236.00 × 333.33 / 1010.00 = 407.92 of the cost; proceeds 466.66 - 0.50.
  grid().SetCurrentRow(1);
  Enter("", "333.33", "1.4000", "2021-05-06");
  Press(window().卖出钮, "0.50");
  EXPECT_EQ("676.67 1.2238 828.08 25.34 ", figures());
  EXPECT_EQ("--", grid().Text(1, app::kPosAnnualReturn));  // no quote yet
  // A fund bought and sold out: its flows count in the total only.
  Enter(Fund(1).code, "100", "1", "2021-02-01");
  Press(window().买入钮);
  grid().SetCurrentRow(2);
  Enter("", "100", "1.1", "2021-06-01");
  Press(window().卖出钮);
  EXPECT_TRUE(shown().empty()) << shown().front();

  window().刷新持仓钮.Click();
  WaitForRefresh();
  const portal::FundSummary summary = SummaryOf(code);
  const std::int64_t value = positions::Amount(67667, *base::ParsePositive(summary.unit_nav, 4));
  EXPECT_EQ(base::FormatScaled(value - 82808 + 1234, 2, true),  // the cash dividend counts
            grid().Text(1, app::kPosHeldProfit));
  const auto day = [](const std::string& text) { return *positions::DayOf(text); };
  std::vector<positions::CashFlow> flows = {{day("2021-01-04"), -123600},
                                            {day("2021-03-01"), 1234},
                                            {day("2021-05-06"), 46616},
                                            {day(summary.nav_date), value}};
  const auto rate = [&] {
    return positions::RateText(std::llround(*positions::Xirr(flows) * 1e4));
  };
  EXPECT_EQ(rate(), grid().Text(1, app::kPosAnnualReturn));
  flows.insert(flows.end(), {{day("2021-02-01"), -10000}, {day("2021-06-01"), 11000}});
  EXPECT_EQ(rate() + "25.34", grid().Text(2, app::kPosAnnualReturn) +  // 合计
                                  grid().Text(2, app::kPosDividends));
}

}  // namespace
