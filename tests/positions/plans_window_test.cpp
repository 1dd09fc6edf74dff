// The 定投 plans window over a real ledger against the simulated portal's NAV histories: the
// buys a plan makes, pending until the history holds their day; a pause, a resume and a change;
// a deleted buy that stays deleted; and the refusals.

#include "positions/plans_window.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/decimal.h"
#include "positions/plans.h"
#include "positions/positions_fixture.h"

namespace {

using positions_test::PositionsWindowTest;

class PlansWindowTest : public PositionsWindowTest {
 protected:
  void SetUp() override {
    PositionsWindowTest::SetUp();
    fund_ = &Fund(0);
    for (int i = 0; Fund(i).inception_date > "2020-01-01"; ++i) fund_ = &Fund(i + 1);
  }
  app::PlansWindow& plans() { return app().plans_window(); }
  void SetToday(const char* day) {  // at 10:00
    program_->clock.Set({std::stoi(day), std::stoi(day + 5), std::stoi(day + 8), 10, 0, 0});
  }
  // The boxes of a plan, `cycle` and `day` by their items' indices, and `button` clicked.
  void Enter(ui::Button& button, const std::string& amount, const std::string& rate, int cycle,
             int day, const std::string& start, const std::string& end = "",
             const std::string& code = "") {
    plans().定投代码框.SetText(code.empty() ? fund_->code : code);
    plans().定投金额框.SetText(amount);
    plans().定投费率框.SetText(rate);
    plans().定投周期框.Choose(cycle);
    plans().定投日框.SetCurrent(day);
    plans().开始日期框.SetText(start);
    plans().结束日期框.SetText(end);
    Click(button);
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
  // The ledger's buys of plans as "period>confirming day amount", "period? amount" while
  // pending; a period held twice shows twice.
  std::multiset<std::string> Periods() {
    std::multiset<std::string> periods;
    const positions::Book book = Stored();
    for (const positions::Record& r : book.records) {
      periods.insert(r.period + ">" + r.day + " " + base::FormatScaled(r.amount, 2));
    }
    for (const positions::PendingTrade& p : book.trades) {
      periods.insert(p.trade.period + "? " + base::FormatScaled(p.trade.amount, 2));
    }
    return periods;
  }
  std::string Row() {  // 状态 to 下次定投日 of the first plan
    std::string text;
    for (int column = app::kPlanState; column < app::kPlansColumnCount; ++column) {
      text += plans().定投表格.Text(1, column) + "|";
    }
    return text;
  }
  const sim::Fund* fund_ = nullptr;  // old enough for the plans of 2021
};

TEST_F(PlansWindowTest, AWeeklyPlanMakesItsBuysOncePendingUntilTheHistoryHoldsTheirDay) {
  SetToday("2021-06-01");
  sim_->SetFundNav(fund_->code, "2021-04-30", 0.5);
  Open();
  window().定投计划钮.Click();
  ASSERT_TRUE(plans().Visible());
  // Every Monday of April and May; 5 April and 3 May are holidays.
  Enter(plans().添加定投钮, "1000", "0.15", 1, 0, "2021-04-01", "2021-05-31");
  EXPECT_TRUE(shown().empty()) << shown().front();
  EXPECT_EQ("已添加定投计划：" + fund_->name, plans().定投状态.Caption());
  EXPECT_EQ(fund_->name + "0.15%",
            plans().定投表格.Text(1, app::kPlanName) + plans().定投表格.Text(1, app::kPlanRate));
  EXPECT_EQ("已结束|9|9000.00||", Row());
  Refresh();  // the history up to 30 April confirms the buys of April
  const std::multiset<std::string> april = {
      "2021-04-05>2021-04-07 1000.00", "2021-04-12>2021-04-12 1000.00",
      "2021-04-19>2021-04-19 1000.00", "2021-04-26>2021-04-26 1000.00"};
  std::multiset<std::string> expected = april;
  for (const char* day : {"03", "10", "17", "24", "31"}) {
    expected.insert("2021-05-" + std::string(day) + "? 1000.00");
  }
  EXPECT_EQ(expected, Periods());
  sim_->SetFundNav(fund_->code, "2021-05-31", 0.5);
  SetToday("2021-06-02");  // the history kept yesterday is asked again
  Refresh();
  expected = april;
  for (const char* day :
       {"03>2021-05-06", "10>2021-05-10", "17>2021-05-17", "24>2021-05-24", "31>2021-05-31"}) {
    expected.insert("2021-05-" + std::string(day) + " 1000.00");
  }
  EXPECT_EQ(expected, Periods());
  for (const positions::Record& record : Stored().records) EXPECT_EQ(150, record.fee);
  Restart();  // the next start settles again and makes nothing twice
  program_->Settle();
  EXPECT_EQ(expected, Periods());
}

TEST_F(PlansWindowTest, APauseSkipsItsPeriodsAChangeTakesTheNextOnesAndDeletedBuysStayDeleted) {
  SetToday("2021-06-01");
  Open();
  window().定投计划钮.Click();
  Enter(plans().添加定投钮, "100", "", 1, 1, "2021-05-01");  // Tuesdays, at the fund's own rate
  EXPECT_EQ("基金费率", plans().定投表格.Text(1, app::kPlanRate));
  EXPECT_EQ("定投中|5|500.00|2021-06-08|", Row());
  plans().定投表格.SetCurrentRow(1);
  plans().定投表格.on_cell_event(1, 0);
  EXPECT_EQ("100.00周二暂停", plans().定投金额框.Text() + plans().定投日框.CurrentText() +
                                  plans().暂停定投钮.Caption());
  Click(plans().暂停定投钮);
  EXPECT_EQ("已暂停|5|500.00||恢复", Row() + plans().暂停定投钮.Caption());
  SetToday("2021-06-22");
  Refresh();                  // the paused weeks of 8 and 15 June make nothing
  Click(plans().暂停定投钮);  // resumed on a Tuesday: today's period is made
  EXPECT_EQ("定投中|6|600.00|2021-06-29|", Row());
  // Changed a week later before anything settled: that week's period keeps the old amount.
  SetToday("2021-06-29");
  plans().定投金额框.SetText("200");
  Click(plans().修改定投钮);
  SetToday("2021-07-06");
  Refresh();
  std::vector<std::string> made;
  for (const std::string& period : Periods())
    made.push_back(period.substr(5, 5) + period.substr(22));
  EXPECT_EQ((std::vector<std::string>{"05-04100.00", "05-11100.00", "05-18100.00", "05-25100.00",
                                      "06-01100.00", "06-22100.00", "06-29100.00", "07-06200.00"}),
            made);
  // The user deletes the last buy: it does not come back. The plan deleted, its buys stay.
  grid().SetCurrentRow(1);
  grid().on_cell_event(1, 0);
  for (int row = 1; row < window().交易表格.RowCount(); ++row) {
    if (window().交易表格.Text(row, app::kTradeDay) == "2021-07-06") {
      window().交易表格.SetCurrentRow(row);
    }
  }
  Click(window().删除交易钮);
  Refresh();
  made.pop_back();
  plans().定投表格.SetCurrentRow(1);
  Click(plans().删除定投钮);
  EXPECT_EQ(1, plans().定投表格.RowCount());
  Restart();
  program_->Settle();
  EXPECT_TRUE(Stored().plans.empty());
  EXPECT_EQ(made.size(), Periods().size());
  EXPECT_EQ("2021-06-29", Periods().rbegin()->substr(0, 10));
}

TEST_F(PlansWindowTest, BadInputIsRefusedWithItsReasonAndStoresNothing) {
  Open();
  window().定投计划钮.Click();
  struct Case {
    std::string amount, rate, start, end, code, message;
  };
  const Case cases[] = {
      {"100", "", "2021-01-05", "", "12345", positions::kPlanBadCodeText},
      {"0", "", "2021-01-05", "", "", positions::kPlanBadAmountText},
      {"1.234", "", "2021-01-05", "", "", positions::kPlanBadAmountText},
      {"100", "10.5", "2021-01-05", "", "", positions::kBadFeeRateText},
      {"100", "0.12345", "2021-01-05", "", "", positions::kBadFeeRateText},
      {"100", "", "2021-02-30", "", "", positions::kBadStartText},
      {"100", "", "1989-12-31", "", "", positions::kPlanStartTooEarlyText},
      {"100", "", "2021-01-05", "2021-13-01", "", positions::kBadEndText},
      {"100", "", "2021-01-05", "2021-01-04", "", positions::kEndBeforeStartText},
      {"100", "", "2021-01-05", "", "999999", std::string(positions::kNotFoundText) + "999999"},
  };
  for (const Case& c : cases) {
    shown().clear();
    Enter(plans().添加定投钮, c.amount, c.rate, 3, 0, c.start, c.end, c.code);
    EXPECT_EQ(std::vector<std::string>{c.message}, shown()) << c.message;
  }
  shown().clear();
  Click(plans().修改定投钮);
  Click(plans().暂停定投钮);
  EXPECT_EQ(std::vector<std::string>(2, positions::kNoPlanRowText), shown());
  EXPECT_TRUE(Stored().plans.empty());
  // A daily plan has no day to choose; a start after today is allowed.
  Enter(plans().添加定投钮, "100", "", 0, 0, "2099-01-05");
  EXPECT_FALSE(plans().定投日框.Enabled());
  EXPECT_EQ("定投中|0|0.00|2099-01-05|", Row());
}

}  // namespace
