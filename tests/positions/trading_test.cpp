// Trades by amount and by shares in the positions window, confirmed at the NAV of the right day
// of the simulated portal's history; a NAV that arrives late; the history's dividends and splits.

#include "positions/trading.h"

#include <gtest/gtest.h>

#include <random>

#include "base/decimal.h"
#include "portal/nav_history.h"
#include "positions/accounts.h"
#include "positions/positions_fixture.h"
#include "store/cache.h"

namespace {

using positions::Record;
using positions::RecordKind;

class TradingTest : public positions_test::PositionsWindowTest {
 protected:
  base::NavHistory HistoryOf(const std::string& code) {
    net::TransferControl control;
    return portal::FetchNavHistory(app().portal(), code, &control).value();
  }
  std::int64_t NavOn(const base::NavHistory& history, const std::string& day) {
    for (const base::NavPoint& point : history.points) {
      if (point.day == day) return point.unit_nav;
    }
    ADD_FAILURE() << "no NAV on " << day;
    return 1;
  }
  // Fills the boxes of a trade by amount (a buy) or shares (a sale) and clicks its button.
  void Trade(bool sell, const std::string& code, const std::string& money_or_shares,
             const std::string& rate, const std::string& day, bool after_close = false) {
    window().代码框.SetText(code);
    (sell ? window().份额框 : window().金额框).SetText(money_or_shares);
    window().费率框.SetText(rate);
    window().日期框.SetText(day);
    window().午后框.SetChecked(after_close);
    (sell ? window().按份额卖出钮 : window().按金额买入钮).Click();
    program_->Settle();
  }
  std::vector<Record> Stored(const std::string& code) {
    std::vector<Record> records;
    for (const Record& record :
         positions::PositionsStore(positions::LedgerPath(app().paths())).Records()) {
      if (record.code == code) records.push_back(record);
    }
    return records;
  }
  std::string Status() { return window().持仓状态.Caption(); }
  // Clicks the fund's row of 持仓表格; its row.
  int Choose(const std::string& code) {
    for (int row = 1; row < grid().RowCount() - 1; ++row) {
      if (grid().Text(row, app::kPosCode) != code) continue;
      grid().SetCurrentRow(row);
      grid().on_cell_event(row, 0);
      return row;
    }
    ADD_FAILURE() << code << " not shown";
    return 0;
  }
  // round(a / b) half away from zero, for positive numbers.
  static std::int64_t Div(std::int64_t a, std::int64_t b) { return (2 * a + b) / (2 * b); }
};

TEST_F(TradingTest, TradesConfirmAtTheirDaysNavExactToTheFenAndABadOneStoresNothing) {
  program_->clock.Set({2021, 8, 20, 16, 0, 0});  // a Friday after the close
  Open();
  const std::string code = Fund(1).code;
  const base::NavHistory history = HistoryOf(code);
  struct Case {
    const char* day;
    bool after_close;
    const char* confirmed;
  };
  // 4 May is in the May holiday; 30 July is a Friday.
  for (const Case& c :
       {Case{"2021-05-04", false, "2021-05-06"}, Case{"2021-07-30", true, "2021-08-02"},
        Case{"2021-07-30", false, "2021-07-30"}}) {
    SCOPED_TRACE(c.day);
    Trade(false, code, "1000.00", "0.15", c.day, c.after_close);
    const std::vector<Record> records = Stored(code);
    ASSERT_FALSE(records.empty());
    const Record& record = records.back();
    EXPECT_EQ(c.confirmed, record.day);
    EXPECT_EQ(150, record.fee);  // 1000 − 1000 / 1.0015 = 1.4977…
    EXPECT_EQ(100000, record.amount);
    EXPECT_EQ(Div(99850 * 10000, NavOn(history, c.confirmed)), record.shares);
  }
  // Placed after the close of the history's last day: it waits.
  Trade(false, code, "1000", "", "2021-08-20", true);
  EXPECT_EQ(3u, Stored(code).size());
  EXPECT_NE(std::string::npos, Status().find("1笔交易待确认，共1000.00元")) << Status();
  EXPECT_EQ("待确认", window().交易表格.Text(1, app::kTradeState));
  EXPECT_EQ("基金费率", window().交易表格.Text(1, app::kTradeRate));

  // A sale of more than is held on its day stays, refused, until the user deletes it.
  Trade(true, code, "100000", "", "2021-08-02");
  EXPECT_EQ(positions::kSaleNotHeldText, window().交易表格.Text(2, app::kTradeState));
  EXPECT_NE(std::string::npos, Status().find("2笔交易待确认")) << Status();
  window().交易表格.SetCurrentRow(2);
  window().删除交易钮.Click();
  program_->Settle();
  EXPECT_NE(std::string::npos, Status().find("1笔交易待确认")) << Status();
  Trade(true, code, "100", "0.5", "2021-08-02");
  const Record sale = Stored(code).back();
  const std::int64_t gross = Div(100 * 100 * NavOn(history, "2021-08-02"), 10000);
  EXPECT_EQ(RecordKind::kSell, sale.kind);
  EXPECT_EQ(Div(gross * 5, 1000), sale.fee);
  EXPECT_EQ(gross - sale.fee, positions::CashFlowOf(sale));

  const size_t stored = Stored(code).size();
  shown().clear();
  for (const auto& [amount, rate, day] : {std::array<const char*, 3>{"0", "", "2021-08-02"},
                                          {"1.001", "", "2021-08-02"},
                                          {"100", "10.5", "2021-08-02"},
                                          {"100", "0.12345", "2021-08-02"},
                                          {"100", "", "1990-01-04"},
                                          {"100", "", "2021-08-21"}}) {
    Trade(false, code, amount, rate, day);
  }
  EXPECT_EQ((std::vector<std::string>{positions::kPlanBadAmountText, positions::kPlanBadAmountText,
                                      positions::kBadFeeRateText, positions::kBadFeeRateText,
                                      std::string(positions::kBeforeFirstNavText) + "（" +
                                          history.points.front().day + "）",
                                      positions::kBadDateText}),
            shown());
  EXPECT_EQ(stored, Stored(code).size());
}

// The kept history ends the day before the trade: it waits; 刷新 asks the portal once the next
// NAV is due, and the trade confirms.
TEST_F(TradingTest, ATradeWaitsForALateNavAndARefreshConfirmsIt) {
  const std::string code = Fund(2).code;
  base::NavHistory kept = HistoryOf(code);
  std::erase_if(kept.points, [](const base::NavPoint& p) { return p.day >= "2021-08-18"; });
  app().cache().SaveNavHistory(code, kept, "2021-08-18 09:00:00",
                               store::TimeStamp(2021, 8, 18, 9, 0, 0));
  program_->clock.Set({2021, 8, 18, 10, 0, 0});
  Open();
  Trade(false, code, "500", "0", "2021-08-18");
  EXPECT_TRUE(Stored(code).empty());
  EXPECT_NE(std::string::npos, Status().find("1笔交易待确认，共500.00元")) << Status();

  program_->clock.Set({2021, 8, 19, 10, 0, 0});
  window().刷新持仓钮.Click();
  WaitForRefresh();
  program_->Settle();
  ASSERT_EQ(1u, Stored(code).size());
  EXPECT_EQ("2021-08-18", Stored(code).front().day);
  EXPECT_EQ(std::string::npos, Status().find("待确认")) << Status();
  EXPECT_EQ(code, grid().Text(1, app::kPosCode));
}

// A fund paying a cash dividend about once a year, one reinvesting it, and one split; each
// history record is made once, a deleted one stays deleted, and one entered by hand replaces
// the program's.
TEST_F(TradingTest, DividendsAndSplitsOfTheHistoryAreMadeOnceExactToTheFen) {
  program_->clock.Set({2021, 8, 20, 16, 0, 0});
  Open();
  struct Held {
    int fund;
    const char* mode;
    std::string event_day{};  // the last dividend or split day of its history
    std::string day_before{};
    std::int64_t event = 0;
    std::string code{};
  };
  std::vector<Held> funds = {{0, "现金分红"}, {3, "红利再投"}, {8, ""}};
  for (Held& held : funds) {
    held.code = Fund(held.fund).code;
    const std::vector<base::NavPoint> points = HistoryOf(held.code).points;
    for (size_t i = 1; i < points.size(); ++i) {
      if (points[i].dividend > 0 || points[i].split_ratio > 0) {
        held.event_day = points[i].day;
        held.day_before = points[i - 1].day;
        held.event = points[i].dividend + points[i].split_ratio;
      }
    }
    ASSERT_FALSE(held.event_day.empty()) << held.fund;
    // Bought after the event first, so that the row is there to choose the 分红方式 on.
    Enter(held.code, "1000", "1.0000", "2021-08-20");
    Press(window().买入钮);
  }
  for (const Held& held : funds) {
    if (!*held.mode) continue;
    Choose(held.code);
    window().分红方式框.Choose(held.mode == std::string("红利再投"));
    program_->Settle();
  }
  for (const Held& held : funds) {  // 1234.56 shares held at the close before the event
    Enter(held.code, "1234.56", "1.0000", held.day_before);
    Press(window().买入钮);
  }
  window().刷新持仓钮.Click();  // brings the histories
  WaitForRefresh();
  program_->Settle();
  for (const Held& held : funds) {
    SCOPED_TRACE(held.code);
    std::vector<Record> made;
    for (const Record& record : Stored(held.code)) {
      if (record.from_history && record.day == held.event_day) made.push_back(record);
    }
    ASSERT_EQ(1u, made.size());
    const std::int64_t worth = 123456 * held.event;  // hundredths × hundred-millionths
    if (held.fund == 0) {
      EXPECT_EQ(RecordKind::kCashDividend, made[0].kind);
      EXPECT_EQ(Div(worth, 100'000'000), made[0].amount);
    } else if (held.fund == 3) {
      EXPECT_EQ(RecordKind::kReinvest, made[0].kind);
      EXPECT_EQ(Div(worth, 10'000 * made[0].price), made[0].shares);
    } else {
      EXPECT_EQ(RecordKind::kSplit, made[0].kind);
      EXPECT_EQ(held.event, made[0].ratio);
    }
  }
  // A hand-entered dividend of the same day replaces the program's in the figures.
  const std::string code = funds[0].code;
  const std::string before = grid().Text(Choose(code), app::kPosDividends);
  Enter(code, "", "", funds[0].event_day);
  Press(window().现金分红钮, "", "12.34");
  EXPECT_EQ(
      base::FormatScaled(
          *base::ParsePositive(before, 2) - Div(123456 * funds[0].event, 100'000'000) + 1234, 2),
      grid().Text(Choose(code), app::kPosDividends));
  // The split deleted is not made again, after a restart either.
  const std::string split_code = funds[2].code;
  Choose(split_code);
  int split_row = 0;
  for (int row = 1; row < window().交易表格.RowCount(); ++row) {
    if (window().交易表格.Text(row, app::kTradeKind) == "拆分") split_row = row;
  }
  ASSERT_GT(split_row, 0);
  window().交易表格.SetCurrentRow(split_row);
  window().删除交易钮.Click();
  program_->Settle();
  Restart();
  program_->Settle();
  for (const Record& record : Stored(split_code)) EXPECT_NE(RecordKind::kSplit, record.kind);
}

}  // namespace

namespace {

// A damaged ledger gives back its plans (with the periods they made), its pending trades, the
// program's records the user deleted and the dividend modes along with the records.
TEST(LedgerDamageTest, PlansAndPendingTradesAreRecoveredWithTheRecords) {
  test_support::TempDir dir;
  const std::filesystem::path path = dir.path() / "positions.sqlite3";
  positions::Plan plan{0,
                       "000001",
                       "甲",
                       100000,
                       positions::kFundFeeRate,
                       positions::Cycle::kWeekly,
                       3,
                       "2021-01-04",
                       "",
                       false,
                       "2021-06-30"};
  positions::Trade trade{"2021-07-01", "000001", "甲", false,       50000, 0,
                         1500,         true,     1,    "2021-07-01"};
  {
    positions::PositionsStore store(path);
    ASSERT_TRUE(store.SavePlan(plan));
    ASSERT_TRUE(store.AddTrade(trade));
    ASSERT_TRUE(store.SaveDividendMode("000001", positions::DividendMode::kReinvest));
    ASSERT_TRUE(store.AddAccount("券商"));
    Record split{"2021-03-01", "000001", "甲", RecordKind::kSplit};
    split.ratio = 200'000'000;
    split.from_history = true;
    ASSERT_TRUE(store.Add(split));
    ASSERT_TRUE(store.RemoveRecord(store.Records().front()));
    for (int i = 0; i < 400; ++i) {  // pages after the small tables'
      ASSERT_TRUE(store.Add({"2021-01-04", "000001", "测试蓝筹精选混合型证券投资基金",
                             RecordKind::kBuy, 10000 + i, 10000}));
    }
  }
  std::string bytes = test_support::ReadFileBytes(path);
  std::mt19937 random(39);
  for (size_t i = bytes.size() * 2 / 3; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>(random());
  test_support::WriteFileBytes(path, bytes);

  positions::PositionsStore store(path);
  const positions::Book book = store.ReadBook();
  EXPECT_NE("", store.DamageNotice());
  plan.id = 1;
  EXPECT_EQ(std::vector<positions::Plan>{plan}, book.plans);
  ASSERT_EQ(1u, book.trades.size());
  EXPECT_EQ(trade, book.trades.front().trade);
  ASSERT_EQ(1u, book.removed.size());
  EXPECT_EQ(RecordKind::kSplit, book.removed.front().kind);
  EXPECT_EQ(positions::DividendMode::kReinvest, book.modes.at("000001"));
  EXPECT_EQ((std::vector<positions::Account>{{1, "默认账户"}, {2, "券商"}}), book.accounts);
  EXPECT_LT(book.records.size(), 400u);
}

}  // namespace

namespace {

using TradingAccountsTest = positions_test::PositionsWindowTest;

// The same fund in two accounts: apart, each account's own; together, one row adding both; an
// account with records cannot be deleted, an empty one can.
TEST_F(TradingAccountsTest, TwoAccountsHoldingAFundAreShownApartAndTogether) {
  Open();
  const std::string code = Fund(1).code;
  Enter(code, "1000", "1.0000", "2021-08-02");
  Press(window().买入钮);
  window().账户名框.SetText("券商");
  window().添加账户钮.Click();
  program_->Settle();
  EXPECT_EQ((std::vector<std::string>{"全部账户", "默认账户", "券商"}), window().账户框.Items());
  EXPECT_EQ("券商", window().账户框.CurrentText());
  EXPECT_EQ(1, grid().RowCount() - 1);  // only 合计: the new account holds nothing
  Enter(code, "500", "1.2000", "2021-08-03");
  Press(window().买入钮);
  grid().SetCurrentRow(1);
  Enter("", "600", "1.3000", "2021-08-04");
  Press(window().卖出钮);
  EXPECT_EQ(std::vector<std::string>{"卖出份额超过持有份额（持有500.00份）"}, shown());

  const auto row = [&] {
    return grid().Text(1, app::kPosShares) + " " + grid().Text(1, app::kPosCost);
  };
  EXPECT_EQ("500.00 600.00", row());
  for (const auto& [chosen, expected] :
       {std::pair{0, "1500.00 1600.00"}, {1, "1000.00 1000.00"}, {2, "500.00 600.00"}}) {
    window().账户框.Choose(chosen);
    EXPECT_EQ(expected, row()) << chosen;
    EXPECT_EQ(3, grid().RowCount());
  }

  shown().clear();
  window().删除账户钮.Click();
  window().账户框.Choose(1);
  window().删除账户钮.Click();
  EXPECT_EQ((std::vector<std::string>{"确定删除账户券商吗？", positions::kAccountInUseText,
                                      positions::kDefaultAccountText}),
            shown());
  Restart();
  Open();
  EXPECT_EQ((std::vector<std::string>{"全部账户", "默认账户", "券商"}), window().账户框.Items());
  EXPECT_EQ("1500.00 1600.00", row());
  window().账户名框.SetText("空账户");
  window().添加账户钮.Click();
  window().删除账户钮.Click();
  program_->Settle();
  EXPECT_EQ((std::vector<std::string>{"全部账户", "默认账户", "券商"}), window().账户框.Items());
}

}  // namespace
