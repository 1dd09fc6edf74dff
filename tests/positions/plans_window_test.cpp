// The 定投 plans window over a real ledger against the simulated portal's NAV histories: the
// buys a plan makes, pending until the history holds their day; a pause, a resume and a change;
// a deleted buy that stays deleted; and the refusals.

#include "positions/plans_window.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "positions/plans.h"
#include "positions/positions_fixture.h"

namespace {

using positions_test::PositionsWindowTest;

class PlansWindowTest : public PositionsWindowTest {
 protected:
  app::PlansWindow& plans() { return app().plans_window(); }
  // A fund of the market old enough for the plans of 2021.
  const sim::Fund& OldFund() {
    for (int i = 0;; ++i) {
      if (Fund(i).inception_date < "2020-01-01") return Fund(i);
    }
  }
  void SetToday(const std::string& day) {
    program_->clock.Set(base::DateTime{std::stoi(day.substr(0, 4)), std::stoi(day.substr(5, 2)),
                                       std::stoi(day.substr(8, 2)), 10, 0, 0});
  }
  // The boxes of a plan; `cycle` and `day` are their items' indices.
  void Fill(const std::string& code, const std::string& amount, const std::string& rate, int cycle,
            int day, const std::string& start, const std::string& end = "") {
    plans().定投代码框.SetText(code);
    plans().定投金额框.SetText(amount);
    plans().定投费率框.SetText(rate);
    plans().定投周期框.Choose(cycle);
    plans().定投日框.SetCurrent(day);
    plans().开始日期框.SetText(start);
    plans().结束日期框.SetText(end);
  }
  void Click(ui::Button& button) {
    button.Click();
    program_->Settle();
  }
  void Refresh() {
    window().刷新持仓钮.Click();
    WaitForRefresh();
    program_->Settle();
  }
  positions::Book Stored() {
    return positions::PositionsStore(positions::LedgerPath(app().paths())).ReadBook();
  }
  // Every period day the ledger holds a buy of, with its amount in fen and whether it is
  // still pending; a period held twice would show twice.
  std::multimap<std::string, std::pair<std::int64_t, bool>> Periods() {
    std::multimap<std::string, std::pair<std::int64_t, bool>> periods;
    const positions::Book book = Stored();
    for (const positions::Record& record : book.records) {
      if (record.plan != 0) periods.emplace(record.period, std::pair{record.amount, false});
    }
    for (const positions::PendingTrade& pending : book.trades) {
      if (pending.trade.plan != 0) {
        periods.emplace(pending.trade.period, std::pair{pending.trade.amount, true});
      }
    }
    return periods;
  }
  std::string Row(int row) {
    std::string text;
    for (int column = app::kPlanState; column < app::kPlansColumnCount; ++column) {
      text += plans().定投表格.Text(row, column) + "|";
    }
    return text;
  }
};

TEST_F(PlansWindowTest, AWeeklyPlanMakesItsBuysOncePendingUntilTheHistoryHoldsTheirDay) {
  const sim::Fund& fund = OldFund();
  SetToday("2021-06-01");
  sim_->SetFundNav(fund.code, "2021-04-30", 0.5);
  Open();
  window().定投计划钮.Click();
  ASSERT_TRUE(plans().Visible());
  // Every Monday of April and May; 5 April and 3 May are holidays.
  Fill(fund.code, "1000", "0.15", 1, 0, "2021-04-01", "2021-05-31");
  Click(plans().添加定投钮);
  EXPECT_TRUE(shown().empty()) << shown().front();
  EXPECT_EQ("已添加定投计划：" + fund.name, plans().定投状态.Caption());
  EXPECT_EQ(fund.name, plans().定投表格.Text(1, app::kPlanName));
  EXPECT_EQ("0.15%", plans().定投表格.Text(1, app::kPlanRate));
  EXPECT_EQ("已结束|9|9000.00||", Row(1));
  Refresh();  // the history up to 30 April confirms the buys of April
  std::vector<std::string> pending, confirmed;
  for (const auto& [period, buy] : Periods()) (buy.second ? pending : confirmed).push_back(period);
  EXPECT_EQ((std::vector<std::string>{"2021-04-05", "2021-04-12", "2021-04-19", "2021-04-26"}),
            confirmed);
  EXPECT_EQ((std::vector<std::string>{"2021-05-03", "2021-05-10", "2021-05-17", "2021-05-24",
                                      "2021-05-31"}),
            pending);
  sim_->SetFundNav(fund.code, "2021-05-31", 0.5);
  SetToday("2021-06-02");  // the history kept yesterday is asked again
  Refresh();
  // A holiday's buy confirms on the next trading day, at 1000.00 less its fee of 1.50.
  std::vector<std::string> days;
  for (const positions::Record& record : Stored().records) {
    days.push_back(record.period + ">" + record.day);
    EXPECT_EQ(150, record.fee);
  }
  EXPECT_EQ((std::vector<std::string>{
                "2021-04-05>2021-04-07", "2021-04-12>2021-04-12", "2021-04-19>2021-04-19",
                "2021-04-26>2021-04-26", "2021-05-03>2021-05-06", "2021-05-10>2021-05-10",
                "2021-05-17>2021-05-17", "2021-05-24>2021-05-24", "2021-05-31>2021-05-31"}),
            days);
  EXPECT_TRUE(Stored().trades.empty());
  Restart();  // the next start settles again and makes nothing twice
  program_->Settle();
  EXPECT_EQ(9u, Periods().size());
  EXPECT_EQ(9u, Stored().records.size());
}

TEST_F(PlansWindowTest, APauseSkipsItsPeriodsAChangeTakesTheNextOnesAndDeletedBuysStayDeleted) {
  const sim::Fund& fund = OldFund();
  SetToday("2021-06-01");
  Open();
  window().定投计划钮.Click();
  Fill(fund.code, "100", "", 1, 1, "2021-05-01");  // every Tuesday, at the fund's own rate
  Click(plans().添加定投钮);
  EXPECT_EQ("基金费率", plans().定投表格.Text(1, app::kPlanRate));
  EXPECT_EQ("定投中|5|500.00|2021-06-08|", Row(1));
  plans().定投表格.SetCurrentRow(1);
  plans().定投表格.on_cell_event(1, 0);
  EXPECT_EQ("100.00", plans().定投金额框.Text());
  EXPECT_EQ("周二", plans().定投日框.CurrentText());
  EXPECT_EQ("暂停", plans().暂停定投钮.Caption());
  Click(plans().暂停定投钮);
  EXPECT_EQ("已暂停|5|500.00||", Row(1));
  EXPECT_EQ("恢复", plans().暂停定投钮.Caption());
  SetToday("2021-06-22");
  Refresh();  // the paused weeks of 8 and 15 June make nothing
  EXPECT_EQ(5u, Periods().size());
  Click(plans().暂停定投钮);  // resumed on a Tuesday: today's period is made
  EXPECT_EQ("定投中|6|600.00|2021-06-29|", Row(1));
  // Changed a week later before anything settled: that week's period keeps the old amount.
  SetToday("2021-06-29");
  plans().定投金额框.SetText("200");
  Click(plans().修改定投钮);
  SetToday("2021-07-06");
  Refresh();
  std::map<std::string, std::int64_t> amounts;
  for (const auto& [period, buy] : Periods()) amounts[period] += buy.first;
  EXPECT_EQ((std::map<std::string, std::int64_t>{{"2021-05-04", 10000},
                                                 {"2021-05-11", 10000},
                                                 {"2021-05-18", 10000},
                                                 {"2021-05-25", 10000},
                                                 {"2021-06-01", 10000},
                                                 {"2021-06-22", 10000},
                                                 {"2021-06-29", 10000},
                                                 {"2021-07-06", 20000}}),
            amounts);
  // The user skips the last period: deleted, it does not come back.
  grid().SetCurrentRow(1);
  grid().on_cell_event(1, 0);
  ui::Grid& trades = window().交易表格;
  for (int row = 1; row < trades.RowCount(); ++row) {
    if (trades.Text(row, app::kTradeDay) == "2021-07-06") trades.SetCurrentRow(row);
  }
  window().删除交易钮.Click();
  program_->Settle();
  Refresh();
  EXPECT_EQ(7u, Periods().size());
  EXPECT_EQ(0u, Periods().count("2021-07-06"));
  // The plan deleted, its buys stay.
  plans().定投表格.SetCurrentRow(1);
  Click(plans().删除定投钮);
  EXPECT_EQ(1, plans().定投表格.RowCount());
  Restart();
  program_->Settle();
  EXPECT_TRUE(Stored().plans.empty());
  EXPECT_EQ(7u, Periods().size());
}

TEST_F(PlansWindowTest, BadInputIsRefusedWithItsReasonAndStoresNothing) {
  const std::string code = OldFund().code;
  Open();
  window().定投计划钮.Click();
  struct Case {
    std::string code, amount, rate;
    int cycle;
    std::string start, end, message;
  };
  const Case cases[] = {
      {"12345", "100", "", 3, "2021-01-05", "", positions::kPlanBadCodeText},
      {code, "0", "", 3, "2021-01-05", "", positions::kPlanBadAmountText},
      {code, "1.234", "", 3, "2021-01-05", "", positions::kPlanBadAmountText},
      {code, "100", "10.5", 3, "2021-01-05", "", positions::kBadFeeRateText},
      {code, "100", "0.12345", 0, "2021-01-05", "", positions::kBadFeeRateText},
      {code, "100", "", 1, "2021-02-30", "", positions::kBadStartText},
      {code, "100", "", 1, "1989-12-31", "", positions::kPlanStartTooEarlyText},
      {code, "100", "", 2, "2021-01-05", "2021-13-01", positions::kBadEndText},
      {code, "100", "", 3, "2021-01-05", "2021-01-04", positions::kEndBeforeStartText},
      {"999999", "100", "", 3, "2021-01-05", "", std::string(positions::kNotFoundText) + "999999"},
  };
  for (const Case& c : cases) {
    shown().clear();
    Fill(c.code, c.amount, c.rate, c.cycle, 0, c.start, c.end);
    Click(plans().添加定投钮);
    EXPECT_EQ(std::vector<std::string>{c.message}, shown()) << c.code << c.amount << c.start;
  }
  shown().clear();
  Click(plans().修改定投钮);
  Click(plans().暂停定投钮);
  EXPECT_EQ(std::vector<std::string>(2, positions::kNoPlanRowText), shown());
  EXPECT_TRUE(Stored().plans.empty());
  // A daily plan has no day to choose; a start after today is allowed.
  Fill(code, "100", "", 0, 0, "2099-01-05");
  EXPECT_FALSE(plans().定投日框.Enabled());
  Click(plans().添加定投钮);
  EXPECT_EQ(1u, Stored().plans.size());
  EXPECT_EQ("定投中|0|0.00|2099-01-05|", Row(1));
}

}  // namespace
