// Trades confirmed by a fund's NAV history, 定投 plans' period days, and the history's
// dividends and splits, on small hand-made histories.

#include "positions/trades.h"

#include <gtest/gtest.h>

#include "positions/plans.h"
#include "positions/settle.h"

namespace positions {
namespace {

base::NavPoint Point(const char* day, std::int64_t nav) {
  base::NavPoint point;
  point.day = day;
  point.unit_nav = nav;
  return point;
}

// 2021: Thursday 30 September, the National Day week off, then trading from Friday 8 October.
base::NavHistory History(std::vector<base::NavPoint> points) {
  return {"000001", "甲", 15000, 1000, std::move(points)};
}
const base::NavHistory kHistory =
    History({Point("2021-09-28", 12000), Point("2021-09-29", 12100), Point("2021-09-30", 12200),
             Point("2021-10-08", 12345), Point("2021-10-11", 12400), Point("2021-10-12", 12500)});

Trade BuyOn(std::string day, bool after_close = false) {
  Trade trade;
  trade.day = std::move(day);
  trade.code = "000001";
  trade.amount = 100000;  // 1000.00
  trade.fee_rate = 1500;  // 0.15 %
  trade.after_close = after_close;
  return trade;
}

TEST(TradesTest, ABuyByAmountAndASaleByShareAreExactToTheFen) {
  const Confirmation buy = Confirm(BuyOn("2021-10-08"), kHistory);  // NAV 1.2345
  ASSERT_EQ(TradeState::kConfirmed, buy.state);
  EXPECT_EQ(150, buy.record.fee);  // net 998.50
  EXPECT_EQ(80883, buy.record.shares);
  EXPECT_EQ(12345, buy.record.price);
  EXPECT_EQ(100000, Replay({buy.record}).front().cost);
  EXPECT_EQ(14778, BuyFee(1000000, 15000));  // 10000.00 × 0.015 / 1.015 = 147.783

  Trade sale = BuyOn("2021-10-12");  // 808.83 shares at 0.5 %, at 1.2500
  sale.sell = true;
  sale.shares = 80883;
  sale.fee_rate = 5000;
  const Confirmation sold = Confirm(sale, kHistory);
  ASSERT_EQ(TradeState::kConfirmed, sold.state);
  EXPECT_EQ(506, sold.record.fee);                   // 1011.04 × 0.005 = 5.0552
  EXPECT_EQ(101104 - 506, CashFlowOf(sold.record));  // gross round(808.83 × 1.25) = 1011.04
  const Position after = Replay({buy.record, sold.record}).front();
  EXPECT_EQ(0, after.shares);
  EXPECT_EQ(100598 - 100000, after.realised);

  Trade bad = BuyOn("2021-10-08");
  bad.amount = 0;
  EXPECT_EQ(TradeState::kRefused, Confirm(bad, kHistory).state);
  bad.amount = kMoneyLimit;
  EXPECT_EQ(TradeState::kRefused, Confirm(bad, kHistory).state);
}

// A bill's sale gives its proceeds: the gross is proceeds / (1 − rate), the shares what the gross
// buys at the NAV, the fee what the shares fetch above the proceeds (never below 0).
TEST(TradesTest, ASaleByProceedsSellsTheSharesItsGrossBuys) {
  const struct {
    std::int64_t proceeds, fee_rate;
    const char* day;  // its NAV
    std::int64_t shares, fee, cash;
  } cases[] = {
      {100000, 5000, "2021-10-12", 80402, 503, 100000},     // gross 1005.03 at 1.2500
      {123456, 15000, "2021-10-11", 101077, 1879, 123456},  // gross 1253.36 at 1.2400
      {100001, 0, "2021-10-08", 81005, 0, 100001},
      {100000, 0, "2021-10-08", 81004, 0, 99999},  // 810.04 shares fetch 999.99
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.proceeds);
    Trade sale = BuyOn(c.day);
    sale.sell = true;
    sale.amount = c.proceeds;
    sale.fee_rate = c.fee_rate;
    const Confirmation sold = Confirm(sale, kHistory);
    ASSERT_EQ(TradeState::kConfirmed, sold.state);
    EXPECT_EQ(RecordKind::kSell, sold.record.kind);
    EXPECT_EQ(c.shares, sold.record.shares);
    EXPECT_EQ(c.fee, sold.record.fee);
    EXPECT_EQ(c.cash, CashFlowOf(sold.record));
  }
}

TEST(TradesTest, ATradeConfirmsOnTheFirstTradingDayOnOrAfterItsDayOrAfterItWhenLate) {
  const struct {
    const char* day;
    bool after_close;
    const char* confirmed;
  } cases[] = {
      {"2021-09-29", false, "2021-09-29"}, {"2021-10-01", false, "2021-10-08"},  // a holiday
      {"2021-09-30", true, "2021-10-08"},  {"2021-10-08", true, "2021-10-11"},   // Friday late
      {"2021-10-12", true, nullptr},       {"2021-10-13", false, nullptr},       // pending
  };
  for (const auto& c : cases) {
    const Confirmation confirmation = Confirm(BuyOn(c.day, c.after_close), kHistory);
    if (c.confirmed) {
      EXPECT_EQ(c.confirmed, confirmation.record.day) << c.day;
    } else {
      EXPECT_EQ(TradeState::kPending, confirmation.state) << c.day;
    }
  }
}

TEST(TradesTest, ALateFundsTradeStaysPendingUntilItsHistoryHoldsTheDay) {
  base::NavHistory late = kHistory;
  late.points.resize(4);  // up to Friday 8 October; Monday's and Tuesday's NAVs not out yet
  const Trade trade = BuyOn("2021-10-11");
  EXPECT_EQ(TradeState::kPending, Confirm(trade, late).state);
  late.points.push_back(Point("2021-10-11", 12400));
  const Confirmation confirmation = Confirm(trade, late);
  ASSERT_EQ(TradeState::kConfirmed, confirmation.state);
  EXPECT_EQ("2021-10-11", confirmation.record.day);
  EXPECT_EQ(80524, confirmation.record.shares);  // 998.50 / 1.2400 = 805.2419
}

Plan PlanOf(Cycle cycle, int day, std::string end = "") {
  return {7, "000001", "甲", 100000, 1500, cycle, day, "2021-09-01", std::move(end)};
}

TEST(PlansTest, EachCycleGivesItsPeriodDays) {
  const struct {
    Plan plan;
    const char* from;
    std::vector<std::string> days;
  } cases[] = {
      {PlanOf(Cycle::kWeekly, 5),
       "2021-09-01",  // Fridays, one in the holiday week
       {"2021-09-03", "2021-09-10", "2021-09-17", "2021-09-24", "2021-10-01", "2021-10-08"}},
      {PlanOf(Cycle::kWeekly, 5), "2021-09-25", {"2021-10-01", "2021-10-08"}},  // after a restart
      {PlanOf(Cycle::kFortnightly, 3),
       "2021-09-09",  // Wednesdays from 1 September
       {"2021-09-15", "2021-09-29"}},
      {PlanOf(Cycle::kMonthly, 28), "2021-09-01", {"2021-09-28"}},
      {PlanOf(Cycle::kWeekly, 1, "2021-09-20"),
       "2021-09-01",
       {"2021-09-06", "2021-09-13", "2021-09-20"}},
      // Daily: the history's days only, from the 28th; the holiday week makes nothing.
      {PlanOf(Cycle::kDaily, 0),
       "2021-09-01",
       {"2021-09-28", "2021-09-29", "2021-09-30", "2021-10-08"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.days, PeriodDays(c.plan, c.from, "2021-10-10", kHistory)) << c.from;
  }
  // The holiday Friday's buy confirms on the next trading day.
  const Plan weekly = PlanOf(Cycle::kWeekly, 5);
  EXPECT_EQ("2021-10-08", Confirm(PeriodTrade(weekly, "2021-10-01"), kHistory).record.day);
  EXPECT_EQ(7, PeriodTrade(weekly, "2021-10-01").plan);
}

TEST(PlansTest, APausedPlanMakesNothingAndResumesWithTheLaterPeriods) {
  Plan plan = PlanOf(Cycle::kWeekly, 5);
  plan.paused = true;
  EXPECT_TRUE(PeriodDays(plan, "2021-09-01", "2021-10-10", kHistory).empty());
  plan.paused = false;  // resumed on 1 October: the periods from the day of the change
  EXPECT_EQ((std::vector<std::string>{"2021-10-01", "2021-10-08"}),
            PeriodDays(plan, "2021-10-01", "2021-10-10", kHistory));
}

// A daily plan makes every weekday up to today, those after its history pending: paused now, it
// keeps them. One the history later shows to have been a holiday is dropped, the others confirm.
TEST(PlansTest, ADailyPlansDaysAfterItsHistoryWaitAndAHolidayAmongThemIsDropped) {
  Book book;
  book.plans = {PlanOf(Cycle::kDaily, 0)};
  book.plans[0].made_through = "2021-10-08";
  const Settlement made = Settle(book, {{"000001", kHistory}}, "2021-10-15");
  EXPECT_EQ("2021-10-15", made.made_through.at(7));
  for (const Trade& trade : made.made) {  // the 11th to the 15th
    book.trades.push_back({static_cast<std::int64_t>(book.trades.size()) + 1, trade, ""});
  }
  ASSERT_EQ("2021-10-14", book.trades.at(3).trade.period);
  EXPECT_EQ(5u, book.trades.size());
  book.plans[0].made_through = "2021-10-15";
  std::vector<base::NavPoint> points = kHistory.points;
  points.push_back(Point("2021-10-13", 12600));
  points.push_back(Point("2021-10-15", 12700));  // the 14th a holiday
  const Settlement settled = Settle(book, {{"000001", History(points)}}, "2021-10-15");
  EXPECT_EQ(std::vector<std::int64_t>{4}, settled.dropped);
  EXPECT_EQ(4u, settled.confirmed.size());
  EXPECT_TRUE(settled.made.empty());
}

TEST(PlansTest, BadValuesAreRefusedWithTheirReason) {
  const PlanTexts good{"000001", "甲", "100.5", "", "每月", "28", "2021-09-01", "2021-12-31"};
  const auto plan = ReadPlan(good, 1500);
  ASSERT_TRUE(std::holds_alternative<Plan>(plan));
  EXPECT_EQ(10050, std::get<Plan>(plan).amount);
  EXPECT_EQ(1500, std::get<Plan>(plan).fee_rate);
  const auto with = [&](auto change) {
    PlanTexts texts = good;
    change(texts);
    const auto read = ReadPlan(texts, 0);
    return std::holds_alternative<std::string>(read) ? std::get<std::string>(read) : "";
  };
  EXPECT_EQ(kPlanBadAmountText, with([](PlanTexts& t) { t.amount = "0"; }));
  EXPECT_EQ(kPlanBadAmountText, with([](PlanTexts& t) { t.amount = "1.234"; }));
  EXPECT_EQ(kBadFeeRateText, with([](PlanTexts& t) { t.fee_rate = "10.0001"; }));
  EXPECT_EQ(kBadMonthDayText, with([](PlanTexts& t) { t.day = "29"; }));
  EXPECT_EQ(kBadWeekdayText, with([](PlanTexts& t) { t.cycle = "每周", t.day = "周六"; }));
  EXPECT_EQ(kEndBeforeStartText, with([](PlanTexts& t) { t.end = "2021-08-31"; }));
  EXPECT_EQ("", with([](PlanTexts& t) { t.fee_rate = "10", t.cycle = "每日"; }));
}

// Held: 333.33 shares bought before the dividend days of 8 and 11 October.
const Record kHeld{"2021-09-29", "000001", "甲", RecordKind::kBuy, 33333, 12100};

TEST(HistoryRecordsTest, DividendsAndASplitOnAHeldFundAreExactToTheFen) {
  base::NavHistory history = kHistory;
  history.points[2].dividend = 1'250'000;       // 30 Sep, before the buy of 1 Oct: not held
  history.points[3].dividend = 1'250'000;       // 0.0125 a share at 1.2345
  history.points[5].split_ratio = 150'000'000;  // 1.5 new shares a share
  Record early = kHeld;
  early.day = "2021-10-01";
  const std::vector<Record> cash = HistoryRecords({early}, history, DividendMode::kCash);
  ASSERT_EQ(2u, cash.size());
  EXPECT_EQ(417, cash[0].amount);  // 333.33 × 0.0125 = 4.1666
  EXPECT_TRUE(cash[0].from_history);
  const Position split = Replay(InDayOrder({early, cash[0], cash[1]})).front();
  EXPECT_EQ(50000, split.shares);  // 333.33 × 1.5 = 499.995
  EXPECT_EQ(40333, split.cost);    // 333.33 × 1.21, unchanged

  const std::vector<Record> reinvested = HistoryRecords({early}, history, DividendMode::kReinvest);
  ASSERT_EQ(2u, reinvested.size());
  EXPECT_EQ(RecordKind::kReinvest, reinvested[0].kind);
  EXPECT_EQ(338, reinvested[0].shares);  // 4.1666 / 1.2345 = 3.3751
  const Position grown = Replay(InDayOrder({early, reinvested[0], reinvested[1]})).front();
  EXPECT_EQ(50507, grown.shares);  // (333.33 + 3.38) × 1.5 = 505.065
  EXPECT_EQ(40333, grown.cost);
  // Made once: the records already made are not made again.
  EXPECT_TRUE(
      HistoryRecords({early, reinvested[0], reinvested[1]}, history, DividendMode::kReinvest)
          .empty());
}

TEST(HistoryRecordsTest, ADividendEnteredByHandReplacesTheProgramsOwn) {
  base::NavHistory history = kHistory;
  history.points[3].dividend = 1'250'000;
  const std::vector<Record> made = HistoryRecords({kHeld}, history, DividendMode::kCash);
  ASSERT_EQ(1u, made.size());
  Record hand{"2021-10-08", "000001", "甲", RecordKind::kCashDividend, 0, 0, 0, 420};
  EXPECT_TRUE(HistoryRecords({kHeld, hand}, history, DividendMode::kCash).empty());
  const std::vector<Record> kept = WithoutReplacedDividends({kHeld, made[0], hand});
  EXPECT_EQ((std::vector<Record>{kHeld, hand}), kept);
  EXPECT_EQ(420, Replay(kept).front().cash_dividends);
}

}  // namespace
}  // namespace positions
