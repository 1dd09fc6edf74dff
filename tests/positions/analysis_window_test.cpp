// The 收益分析 window over a ledger entered in the positions window and the simulated portal's
// NAV histories: each month's calendar adds up to its total and to the change of 累计收益, the
// monthly table gives the time-weighted index's ratios, the window follows new trades, and a
// closed window's load writes nothing.

#include "positions/analysis_window.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/decimal.h"
#include "positions/analysis.h"
#include "positions/fund_history.h"
#include "positions/positions_fixture.h"

namespace {

using positions::AnalysisDay;

class AnalysisWindowTest : public positions_test::PositionsWindowTest {
 protected:
  void SetUp() override {
    PositionsWindowTest::SetUp();
    program_->clock.Set({2021, 8, 20, 16, 0, 0});
    for (int i = 0; funds_.size() < 2; ++i) {
      if (Fund(i).inception_date < "2020-01-01") funds_.push_back(Fund(i).code);
    }
  }
  app::AnalysisWindow& analysis() { return app().analysis_window(); }
  // A trade by amount (a buy) or by shares (a sale) on `day`, waiting for its fund's history.
  void Trade(bool sell, const std::string& code, const std::string& money_or_shares,
             const std::string& day) {
    window().代码框.SetText(code);
    (sell ? window().份额框 : window().金额框).SetText(money_or_shares);
    window().费率框.SetText("0.15");
    window().日期框.SetText(day);
    (sell ? window().按份额卖出钮 : window().按金额买入钮).Click();
    program_->Settle();
  }
  void OpenAnalysis() {
    window().收益分析钮.Click();
    program_->Settle();
    ASSERT_TRUE(analysis().Visible());
  }
  // The analysis of the stored records over the kept histories, as the window should show it.
  positions::Analysis Expected() {
    std::map<std::string, base::NavHistory> histories;
    for (const std::string& code : funds_) {
      std::optional<base::NavHistory> history = positions::KeptFundHistory(app(), code);
      if (history) histories.emplace(code, std::move(*history));
    }
    return positions::Analyse(
        positions::PositionsStore(positions::LedgerPath(app().paths())).Records(), histories);
  }
  // The money after a label's caption and a space: "3月收益 +12.34" → 1234.
  static std::int64_t MoneyOf(const std::string& caption) {
    return base::ParseSigned(caption.substr(caption.find(' ') + 1), 2).value_or(-1);
  }
  std::vector<std::string> funds_;
};

TEST_F(AnalysisWindowTest, EachMonthsCalendarAddsUpToItsTotalAndTheTableGivesTheIndexRatios) {
  Open();
  Trade(false, funds_[0], "10000", "2021-03-01");
  Trade(false, funds_[1], "5000", "2021-04-15");
  Trade(true, funds_[0], "1000", "2021-06-01");
  Trade(false, funds_[0], "2000", "2021-07-05");
  OpenAnalysis();
  const positions::Analysis expected = Expected();
  const std::vector<AnalysisDay>& days = expected.days;
  ASSERT_FALSE(days.empty());
  EXPECT_EQ("2021-03-01", days.front().day);
  EXPECT_EQ("共" + std::to_string(days.size()) + "个交易日，截至" + days.back().day,
            analysis().分析状态.Caption());
  EXPECT_EQ("累计收益 " + base::FormatScaled(days.back().total_profit, 2, true),
            analysis().累计收益标签.Caption());

  // From the latest month back to the first: the cells of the trading days (none on a weekend)
  // add up to the month's total, the change of 累计收益 over the month.
  ui::Grid& calendar = analysis().收益日历;
  std::int64_t before_month = 0;
  std::map<std::string, std::int64_t> month_ends;  // "2021-03" → total profit at its last day
  std::map<std::string, double> index_ends;
  for (const AnalysisDay& day : days) {
    month_ends[day.day.substr(0, 7)] = day.total_profit;
    index_ends[day.day.substr(0, 7)] = day.index;
  }
  int months = 0;
  for (auto month = month_ends.rbegin(); month != month_ends.rend(); ++month, ++months) {
    SCOPED_TRACE(month->first);
    EXPECT_EQ(std::to_string(std::stoi(month->first.substr(0, 4))) + "年" +
                  std::to_string(std::stoi(month->first.substr(5))) + "月",
              analysis().月份标签.Caption());
    std::int64_t cells = 0;
    int trading_days = 0;
    for (int row = 2; row < calendar.RowCount(); row += 2) {
      for (int column = 0; column < app::kCalendarColumnCount; ++column) {
        const std::string& text = calendar.Text(row, column);
        if (text.empty()) continue;
        EXPECT_LT(column, 5) << "a weekend shows " << text;
        cells += base::ParseSigned(text, 2).value();
        ++trading_days;
      }
    }
    const auto next = std::next(month);
    before_month = next == month_ends.rend() ? 0 : next->second;
    EXPECT_EQ(month->second - before_month, cells);
    EXPECT_EQ(cells, MoneyOf(analysis().月收益标签.Caption()));
    int expected_days = 0;
    for (const AnalysisDay& day : days) expected_days += day.day.starts_with(month->first);
    EXPECT_EQ(expected_days, trading_days);
    EXPECT_EQ(next != month_ends.rend(), analysis().上月钮.Enabled());
    analysis().上月钮.Click();
  }
  EXPECT_EQ(6, months);
  EXPECT_EQ(days.back().total_profit, MoneyOf(analysis().年收益标签.Caption()));

  // 月度收益: each month's and the year's ratio of the index to the one before, "" before
  // the first record and after the latest NAV.
  ui::Grid& table = analysis().月度收益表格;
  ASSERT_EQ(2, table.RowCount());
  EXPECT_EQ("2021", table.Text(1, app::kReturnYear));
  const auto percent = [](double ratio) {
    return base::FormatScaled(std::llround((ratio - 1) * 10000), 2, true) + "%";
  };
  double before = 1;
  for (int month = 1; month <= 12; ++month) {
    SCOPED_TRACE(month);
    const auto end =
        index_ends.find("2021-" + std::string(month < 10 ? "0" : "") + std::to_string(month));
    EXPECT_EQ(end == index_ends.end() ? "" : percent(end->second / before), table.Text(1, month));
    if (end != index_ends.end()) before = end->second;
  }
  EXPECT_EQ(percent(days.back().index), table.Text(1, app::kReturnWhole));
}

TEST_F(AnalysisWindowTest, TheWindowFollowsNewTradesAndAClosedWindowsLoadWritesNothing) {
  Open();
  window().收益分析钮.Click();
  program_->Settle();
  EXPECT_EQ(positions::kNoRecordsText, analysis().分析状态.Caption());
  Trade(false, funds_[0], "10000", "2021-03-01");
  EXPECT_EQ("累计投入 10000.00", analysis().累计投入标签.Caption());
  // Two trades in a row: the window shows the book after both.
  Enter(funds_[0], "100", "1.5", "2021-07-06");
  window().买入钮.Click();
  Enter(funds_[0], "100", "2.5", "2021-07-07");
  window().买入钮.Click();
  program_->Settle();
  EXPECT_EQ("累计投入 10400.00", analysis().累计投入标签.Caption());
  EXPECT_EQ(Expected().summary.value, MoneyOf(analysis().总资产标签.Caption()));

  // A trade while the window closes: its load ends without a word.
  Enter(funds_[0], "100", "1", "2021-07-08");
  window().买入钮.Click();
  analysis().Close();
  program_->Settle();
  EXPECT_EQ("", analysis().分析状态.Caption());
  EXPECT_EQ("累计投入", analysis().累计投入标签.Caption());
  EXPECT_EQ("", analysis().月份标签.Caption());
  window().收益分析钮.Click();
  program_->Settle();
  EXPECT_EQ("累计投入 10500.00", analysis().累计投入标签.Caption());
}

TEST_F(AnalysisWindowTest, TheWindowShowsTheAccountChosenAndFollowsTheChoice) {
  Open();
  Trade(false, funds_[0], "10000", "2021-03-01");  // into 默认账户
  window().账户名框.SetText("券商B");
  window().添加账户钮.Click();  // and chosen
  program_->Settle();
  Trade(false, funds_[0], "5000", "2021-04-15");
  OpenAnalysis();
  EXPECT_EQ("累计投入 5000.00", analysis().累计投入标签.Caption());
  // 全部账户, then 默认账户.
  for (const auto& [item, invested] :
       {std::pair{0, "累计投入 15000.00"}, {1, "累计投入 10000.00"}}) {
    window().账户框.Choose(item);
    program_->Settle();
    EXPECT_EQ(invested, analysis().累计投入标签.Caption()) << item;
  }
}

}  // namespace
