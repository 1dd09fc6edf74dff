// Fees and dividends in the positions window: the worked example exact to the fen, the annual
// return of its flows, every refusal, and the export with the new columns.

#include <gtest/gtest.h>

#include <cmath>

#include "export/xls_probe.h"
#include "positions/annual_return.h"
#include "positions/positions_fixture.h"

namespace {

using positions_test::PositionsWindowTest;

class DividendsTest : public PositionsWindowTest {
 protected:
  void Press(ui::Button& button) {
    button.Click();
    program_->Settle();
  }
  std::vector<std::string> Row(int row) {
    std::vector<std::string> texts;
    for (int column : {app::kPosShares, app::kPosCostPrice, app::kPosCost, app::kPosDividends}) {
      texts.push_back(grid().Text(row, column));
    }
    return texts;
  }
};

TEST_F(DividendsTest, WorkedExampleIsExactToTheFenAndItsFlowsGiveTheAnnualReturn) {
  Open();
  const std::string code = Fund(0).code;
  // Buy 1000 at 1.2345 with a fee of 1.50: cost 1234.50 + 1.50 = 1236.00.
  Enter(code, "1000", "1.2345", "2021-01-04");
  window().费用框.SetText("1.50");
  Press(window().买入钮);
  EXPECT_EQ((std::vector<std::string>{"1000.00", "1.2360", "1236.00", "0.00"}), Row(1));
  // A cash dividend of 12.34: shares and cost stay.
  Enter(code, "", "", "2021-03-01");
  window().金额框.SetText("12.34");
  Press(window().现金分红钮);
  // 10.00 shares reinvested at 1.3000 (13.00): 1010.00 shares, cost 1236.00, 1.2238 a share.
  Enter(code, "10.00", "1.3000", "2021-04-01");
  Press(window().红利再投钮);
  EXPECT_EQ((std::vector<std::string>{"1010.00", "1.2238", "1236.00", "25.34"}), Row(1));
  // Sell 333.33 at 1.4000 with a fee of 0.50: the cost falls by 1236.00 × 333.33 / 1010.00 =
  // 407.92 to 828.08 over 676.67 shares (1.2238 a share); proceeds 466.66 - 0.50 = 466.16.
  grid().SetCurrentRow(1);
  Enter("", "333.33", "1.4000", "2021-05-06");
  window().费用框.SetText("0.50");
  Press(window().卖出钮);
  EXPECT_TRUE(shown().empty()) << shown().front();
  EXPECT_EQ((std::vector<std::string>{"676.67", "1.2238", "828.08", "25.34"}), Row(1));
  EXPECT_EQ("--", grid().Text(1, app::kPosAnnualReturn));  // no quote yet

  window().刷新持仓钮.Click();
  WaitForRefresh();
  const portal::FundSummary summary = SummaryOf(code);
  const std::int64_t value =
      positions::Amount(67667, *positions::ParsePositive(summary.unit_nav, 4));
  // Held profit: the value less the cost, plus the cash dividend.
  EXPECT_EQ(positions::FormatScaled(value - 82808 + 1234, 2, true),
            grid().Text(1, app::kPosHeldProfit));
  const std::optional<double> rate =
      positions::Xirr({{*positions::DayOf("2021-01-04"), -123600},
                       {*positions::DayOf("2021-03-01"), 1234},
                       {*positions::DayOf("2021-05-06"), 46616},
                       {*positions::DayOf(summary.nav_date), value}});
  ASSERT_TRUE(rate);
  const std::string annual = positions::RateText(std::llround(*rate * 10000));
  EXPECT_EQ(annual, grid().Text(1, app::kPosAnnualReturn));
  EXPECT_EQ(annual, grid().Text(2, app::kPosAnnualReturn));  // 合计: the same flows
  EXPECT_EQ("25.34", grid().Text(2, app::kPosDividends));

  // The export writes the grid as shown, the new columns with it.
  window().导出持仓钮.Click();
  const nlohmann::json probe = export_test::ProbeXls(app().paths().workbook_dir / "持仓8月8日.xls");
  EXPECT_EQ("", export_test::FirstDifference(export_test::GridValues(grid()),
                                             export_test::Values(probe)));
  EXPECT_EQ(13, grid().ColumnCount());
}

TEST_F(DividendsTest, EveryRefusalOfAFeeOrDividendShowsItsTextAndStoresNothing) {
  Open();
  const std::string held = Fund(0).code;
  Enter(held, "1", "1", "2021-08-02");
  Press(window().买入钮);
  ASSERT_EQ(1u, StoredRecords());
  struct Case {
    ui::Button* button;
    std::string code, shares, price, day, fee, amount;
    const char* text;
  } cases[] = {
      {&window().买入钮, held, "1", "1", "", "-1", "", positions::kBadFeeText},
      {&window().买入钮, held, "1", "1", "", "0.123", "", positions::kBadFeeText},
      {&window().卖出钮, "", "1", "1", "", "1.01", "", positions::kFeeAboveProceedsText},
      {&window().现金分红钮, "12345", "", "", "", "", "1", positions::kBadCodeText},
      {&window().现金分红钮, held, "", "", "", "", "0", positions::kBadAmountText},
      {&window().现金分红钮, held, "", "", "", "", "1.234", positions::kBadAmountText},
      {&window().现金分红钮, held, "", "", "2021-08-09", "", "1", positions::kBadDateText},
      {&window().现金分红钮, Fund(1).code, "", "", "", "", "1", positions::kNotHeldText},
      {&window().红利再投钮, held, "abc", "1", "", "", "", positions::kBadSharesText},
      {&window().红利再投钮, held, "1", "", "", "", "", positions::kBadPriceText},
      {&window().红利再投钮, Fund(1).code, "1", "1", "", "", "", positions::kNotHeldText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    shown().clear();
    grid().SetCurrentRow(1);
    Enter(c.code, c.shares, c.price, c.day);
    window().费用框.SetText(c.fee);
    window().金额框.SetText(c.amount);
    Press(*c.button);
    EXPECT_EQ(std::vector<std::string>{c.text}, shown());
  }
  EXPECT_EQ(1u, StoredRecords());
}

}  // namespace
