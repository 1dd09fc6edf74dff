// The positions window against the simulated portal and a real ledger file: buys, sales and
// every refusal (of fees and dividends too), the file after a restart, the refresh, the export,
// the fund grid's menu, and ledgers damaged, locked or in a folder the user may not write.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <random>

#include "app/app_fixture.h"
#include "base/decimal.h"
#include "export/xls_probe.h"
#include "net/http_fetch.h"
#include "portal/fund_page.h"
#include "positions/positions.h"
#include "positions/positions_fixture.h"
#include "positions/positions_store.h"
#include "sim/server.h"
#include "support/unprivileged.h"

namespace {

using positions::PositionsStore;
using positions_test::PositionsWindowTest;

// The records of ids 1 to `last_id` SQLite itself can read from `file`, each asked on its own,
// past a schema that promises more pages than a cut-off file has: every column of its kind (a
// row cut through reads with zeros where its bytes are missing).
std::vector<positions::Record> ReadableRecords(const std::filesystem::path& file, int last_id) {
  std::vector<positions::Record> records;
  sqlite3* db = nullptr;
  sqlite3_stmt* select = nullptr;
  sqlite3_open_v2(("file:" + file.string() + "?immutable=1").c_str(), &db,
                  SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
  sqlite3_exec(db, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr);
  sqlite3_prepare_v2(db,
                     "SELECT day, code, name, kind, shares, price FROM records WHERE id = ? AND"
                     " typeof(day) = 'text' AND typeof(code) = 'text' AND typeof(name) = 'text'"
                     " AND kind IN ('buy', 'sell') AND typeof(shares) = 'integer' AND"
                     " typeof(price) = 'integer' AND shares > 0 AND price > 0",
                     -1, &select, nullptr);
  for (int id = 1; select && id <= last_id; ++id) {
    sqlite3_reset(select);
    sqlite3_bind_int(select, 1, id);
    if (sqlite3_step(select) != SQLITE_ROW) continue;
    const auto text = [&](int column) {
      return std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, column)),
                         sqlite3_column_bytes(select, column));
    };
    records.push_back(
        {text(0), text(1), text(2),
         text(3) == "sell" ? positions::RecordKind::kSell : positions::RecordKind::kBuy,
         sqlite3_column_int64(select, 4), sqlite3_column_int64(select, 5)});
    records.back().id = id;
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  return records;
}

TEST_F(PositionsWindowTest, EveryRefusalShowsItsTextAndStoresNothing) {
  Open();
  const std::string code = Fund(0).code;
  ui::Button* cash = &window().现金分红钮;
  ui::Button* reinvest = &window().红利再投钮;
  struct Case {
    std::string code, shares, price, day, text;
    ui::Button* button = nullptr;  // 买入
    std::string fee{}, amount{};
  } cases[] = {
      {"12345", "100", "1.5", "", positions::kBadCodeText},
      {"12345a", "100", "1.5", "", positions::kBadCodeText},
      {code, "0", "1.5", "", positions::kBadSharesText},
      {code, "1.234", "1.5", "", positions::kBadSharesText},
      {code, "abc", "1.5", "", positions::kBadSharesText},
      {code, "100", "-1", "", positions::kBadPriceText},
      {code, "100", "1.23456", "", positions::kBadPriceText},
      {code, "100", "1.5", "2021-02-29", positions::kBadDateText},
      {code, "100", "1.5", "2021-8-1", positions::kBadDateText},
      {code, "100", "1.5", "2021-08-09", positions::kBadDateText},  // tomorrow
      {"999999", "100", "1.5", "", std::string(positions::kNotFoundText) + "999999"},
      {code, "100", "1.5", "", positions::kBadFeeText, nullptr, "-1"},
      {code, "100", "1.5", "", positions::kBadFeeText, nullptr, "0.123"},
      {"12345", "", "", "", positions::kBadCodeText, cash, "", "1"},
      {code, "", "", "", positions::kBadAmountText, cash, "", "0"},
      {code, "", "", "", positions::kBadAmountText, cash, "", "1.234"},
      {code, "", "", "2021-08-09", positions::kBadDateText, cash, "", "1"},
      {code, "", "", "", positions::kNotHeldText, cash, "", "1"},
      {code, "abc", "1", "", positions::kBadSharesText, reinvest},
      {code, "1", "", "", positions::kBadPriceText, reinvest},
      {code, "1", "1", "", positions::kNotHeldText, reinvest},
  };
  for (const Case& c : cases) {
    shown().clear();
    Enter(c.code, c.shares, c.price, c.day);
    Press(c.button ? *c.button : window().买入钮, c.fee, c.amount);
    EXPECT_EQ(std::vector<std::string>{c.text}, shown()) << c.code << " " << c.shares;
  }
  for (ui::Button* button : {&window().卖出钮, &window().删除持仓钮}) {
    shown().clear();
    button->Click();
    EXPECT_EQ(std::vector<std::string>{positions::kNoRowText}, shown());
  }
  EXPECT_EQ(0u, StoredRecords());
  EXPECT_EQ(2, grid().RowCount());
  EXPECT_EQ("", app().main_window().持仓标签.Caption());

  Enter(code, "100", "1.5", "2021-08-08");
  Press(window().买入钮);
  ASSERT_EQ(1u, StoredRecords());
  shown().clear();
  grid().SetCurrentRow(1);
  Enter("", "100.01", "1.6");
  window().卖出钮.Click();
  Enter("", "100", "0.0001");  // 0.01 yuan
  Press(window().卖出钮, "0.02");
  EXPECT_EQ((std::vector<std::string>{"卖出份额超过持有份额（持有100.00份）",
                                      positions::kFeeAboveProceedsText}),
            shown());
  EXPECT_EQ(1u, StoredRecords());
}

TEST_F(PositionsWindowTest, RecordsBeyondTheLedgersLimitsAreRefusedAndTheRestStayExact) {
  Open();
  const std::string a = Fund(0).code, b = Fund(1).code;
  ui::Button* buy = &window().买入钮;
  ui::Button* reinvest = &window().红利再投钮;
  const std::string beyond = positions::kBeyondLimitsText;
  struct Case {
    std::string code, shares, price, fee, amount;
    ui::Button* button;
    std::string refusal;  // none: kept
  } cases[] = {
      // Each box within its own limit, their product far beyond the ledger's.
      {a, "999999999999.99", "999999999999.9999", "", "", buy, beyond},
      {a, "10000000000", "1", "", "", buy, beyond},
      {a, "1", "100000", "", "", buy, beyond},
      {a, "9999999999.99", "1000.01", "", "", buy, beyond},        // just over 10^13 yuan
      {a, "9999999999", "1000", "999999999999", "", buy, beyond},  // with its fee
      {a, "100", "1", "100.01", "", buy, positions::kFeeAboveCostText},
      {a, "5000000000", "1000", "", "", buy, ""},
      {a, "4000000000", "1250", "", "", buy, beyond},  // the fund's cost would be 10^13
      {b, "4000000000", "1250", "", "", buy, beyond},  // and so would the total
      {b, "4000000000", "1249.99", "", "", buy, ""},
      {a, "4000000000", "1000", "", "", reinvest, ""},
      {a, "1000000000", "1", "", "", reinvest, beyond},     // 10^10 shares of the fund
      {b, "1000000000", "6000", "", "", reinvest, beyond},  // the total's dividends
  };
  for (const Case& c : cases) {
    shown().clear();
    Enter(c.code, c.shares, c.price, "2021-01-06");
    Press(*c.button, c.fee, c.amount);
    EXPECT_EQ(c.refusal.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.refusal},
              shown())
        << c.code << " " << c.shares << " " << c.price << " " << c.fee << " " << c.amount;
  }
  EXPECT_EQ(3u, StoredRecords());
  EXPECT_EQ("5000000000000.00 555.5556 4000000000000.00 ",
            grid().Text(1, app::kPosCost) + " " + grid().Text(1, app::kPosCostPrice) + " " +
                grid().Text(1, app::kPosDividends) + " ");
  EXPECT_EQ("9999960000000.00 4000000000000.00",
            grid().Text(3, app::kPosCost) + " " + grid().Text(3, app::kPosDividends));
}

TEST_F(PositionsWindowTest, BuysSalesAndDeletionsSurviveARestart) {
  Open();
  Enter(Fund(0).code, "1000", "1.234", "2021-08-02");
  // A second click while the search waits is not a second buy.
  window().买入钮.Click();  // the name comes from the search
  Press(window().买入钮);
  ASSERT_EQ(1u, StoredRecords());
  Enter(Fund(1).code, "200", "2");
  Press(window().买入钮);
  Enter(Fund(0).code, "500.00", "1.5000");
  Press(window().买入钮);
  grid().SetCurrentRow(1);
  Enter("", "300", "1.6");
  window().卖出钮.Click();
  EXPECT_TRUE(shown().empty()) << shown().front();
  ASSERT_EQ(4, grid().RowCount());
  EXPECT_EQ(Fund(0).name, grid().Text(1, app::kPosName));
  EXPECT_EQ("1200.00", grid().Text(1, app::kPosShares));
  EXPECT_EQ("1587.20", grid().Text(1, app::kPosCost));
  EXPECT_EQ("1.3227", grid().Text(1, app::kPosCostPrice));
  EXPECT_EQ(Fund(1).name, grid().Text(2, app::kPosName));

  // Selling every share of the second fund removes its row; its records stay.
  grid().SetCurrentRow(2);
  Enter("", "200", "2.1");
  window().卖出钮.Click();
  EXPECT_EQ(3, grid().RowCount());
  EXPECT_EQ(5u, StoredRecords());

  const size_t requests = sim_->requests().Count();
  Restart();
  EXPECT_EQ("当日收益 0.00", app().main_window().持仓标签.Caption());  // nothing refreshed yet
  EXPECT_EQ(requests, sim_->requests().Count());
  Open();
  ASSERT_EQ(3, grid().RowCount());
  EXPECT_EQ("1587.20", grid().Text(1, app::kPosCost));
  EXPECT_EQ("合计", grid().Text(2, app::kPosName));

  program_->dialogs.answer_yes = false;
  grid().SetCurrentRow(1);
  window().删除持仓钮.Click();
  EXPECT_EQ("确定删除" + Fund(0).name + "的全部持仓记录吗？", shown().back());
  EXPECT_EQ(5u, StoredRecords());
  program_->dialogs.answer_yes = true;
  window().删除持仓钮.Click();
  EXPECT_EQ(2u, StoredRecords());
  EXPECT_EQ(2, grid().RowCount());
  EXPECT_EQ("", app().main_window().持仓标签.Caption());
}

TEST_F(PositionsWindowTest, RefreshAsksOneMainPagePerFundAndAFailedOneKeepsTheFigures) {
  Open();
  for (int i : {0, 1, 2}) {
    Enter(Fund(i).code, "1000", "1");
    Press(window().买入钮);
  }
  sim_->requests().Clear();
  window().刷新持仓钮.Click();
  WaitForRefresh();
  for (int i : {0, 1, 2}) {
    EXPECT_EQ(1u, MainPageRequests(Fund(i).code));
    const portal::FundSummary summary = SummaryOf(Fund(i).code);
    ASSERT_NE("", summary.unit_nav);
    EXPECT_EQ(summary.unit_nav, grid().Text(i + 1, app::kPosNav));
    EXPECT_EQ(summary.nav_date, grid().Text(i + 1, app::kPosNavDate));
    EXPECT_EQ(summary.day_change, grid().Text(i + 1, app::kPosDayChange));
    EXPECT_NE("", grid().Text(i + 1, app::kPosTodayProfit));
  }
  // A main page and a NAV history per fund, and the three checks above.
  EXPECT_EQ(6u, sim_->requests().Count() - 3);
  const std::string row = grid().Text(1, app::kPosNav) + grid().Text(1, app::kPosHeldProfit);
  const std::string caption = app().main_window().持仓标签.Caption();
  EXPECT_EQ(0u, caption.rfind("当日收益 ", 0));
  EXPECT_EQ(std::string::npos, window().持仓状态.Caption().find("未刷新"));
  // A fund bought now has no figures until a refresh brings them.
  Enter(Fund(3).code, "1000", "1");
  Press(window().买入钮);

  sim::FaultOptions faults;
  faults.error_rate = 1.0;
  sim_->SetFaults(faults);
  window().刷新持仓钮.Click();
  WaitForRefresh();
  EXPECT_EQ(row, grid().Text(1, app::kPosNav) + grid().Text(1, app::kPosHeldProfit));
  EXPECT_EQ(caption, app().main_window().持仓标签.Caption());
  EXPECT_NE(std::string::npos, window().持仓状态.Caption().find(Fund(3).name + "刷新失败"));
  // 合计 sums the cost of all four and the profit of three; its rate is the one those two give.
  EXPECT_NE(std::string::npos,
            window().持仓状态.Caption().find("；1支基金未刷新，合计收益仅含已刷新的基金"));
  const auto fen = [&](int column) {
    return base::ParseSigned(grid().Text(grid().RowCount() - 1, column), 2).value_or(0);
  };
  EXPECT_EQ(
      positions::RateText(*base::RoundDivide(fen(app::kPosHeldProfit) * 10000, fen(app::kPosCost))),
      grid().Text(grid().RowCount() - 1, app::kPosRate));

  sim_->SetFaults({});
  Restart();  // the caption comes from the file, without a request
  EXPECT_EQ(caption, app().main_window().持仓标签.Caption());
}

TEST_F(PositionsWindowTest, ANewerRefreshReplacesARunningOneAndClosingStopsIt) {
  Open();
  for (int i : {0, 1, 2, 3}) {
    Enter(Fund(i).code, "10", "1");
    Press(window().买入钮);
  }
  sim::FaultOptions slow;
  slow.latency_ms = 100;
  sim_->SetFaults(slow);
  sim_->requests().Clear();
  window().刷新持仓钮.Click();
  window().刷新持仓钮.Click();
  WaitForRefresh();
  // The first refresh ends after the request it had in flight, writing nothing; each fund's
  // job asks its NAV history and its main page.
  EXPECT_LE(sim_->requests().Count(), 9u);
  EXPECT_EQ("4/4", [&] {
    size_t asked = 0;
    for (int i : {0, 1, 2, 3}) asked += MainPageRequests(Fund(i).code) >= 1;
    return std::to_string(asked) + "/4";
  }());

  // Nor does a buy's settlement still running when the window closes.
  sim_->requests().Clear();
  window().刷新持仓钮.Click();
  Enter(Fund(0).code, "10", "1");
  window().买入钮.Click();
  window().Close();
  program_->ui.PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(600));
  EXPECT_LE(sim_->requests().Count(), 1u);
  EXPECT_EQ("", window().持仓状态.Caption());
  EXPECT_EQ(2, grid().RowCount());  // the design state, untouched by the stopped refresh
}

TEST_F(PositionsWindowTest, ExportWritesTheGridAsShown) {
  Open();
  Enter(Fund(3).code, "1234.5", "1.2345");
  Press(window().买入钮);
  window().导出持仓钮.Click();
  const auto file = app().paths().workbook_dir / "持仓8月8日.xls";
  ASSERT_TRUE(std::filesystem::exists(file));
  const nlohmann::json probe = export_test::ProbeXls(file);
  EXPECT_EQ("", export_test::FirstDifference(export_test::GridValues(grid()),
                                             export_test::Values(probe)));
}

TEST_F(PositionsWindowTest, FundGridMenuItemFillsTheCodeAndNeedsNoSearch) {
  app::MainWindow& main = app().main_window();
  main.高级表格1.SetText(2, 0, "某某基金");
  main.高级表格1.SetText(2, 1, "000777");
  app().shown_funds().Write(app().loads().Current(app::LoadTarget::kFundGrid), 2,
                            {"000777", "某某基金"});
  main.高级表格1.SetCurrentRow(2);
  ASSERT_EQ("加入持仓", main.菜单.Item(2).caption);
  main.菜单.Choose(2);
  EXPECT_TRUE(window().Visible());
  EXPECT_EQ("000777", window().代码框.Text());
  WaitForRefresh();
  sim_->requests().Clear();
  Enter("000777", "10", "1");
  window().代码框.SetText("000777");
  Press(window().买入钮);
  EXPECT_EQ("某某基金", grid().Text(1, app::kPosName));
  EXPECT_EQ(0u, sim_->requests().Count());
}

// Copies of a real 1000-record ledger cut in half, or overwritten with random bytes in the middle
// or whole, give back every record SQLite can still read, and say so once.
TEST_F(PositionsWindowTest, ADamagedLedgerIsMendedAndToldOnceAndALockedOneRefusesTheRecord) {
  const auto path = positions::LedgerPath(app().paths());
  Stop();
  {
    PositionsStore store(path);  // buys and sales of ten funds under names as long as real ones
    for (int i = 0; i < 1000; ++i) {
      const bool sell = i % 7 == 6;
      ASSERT_TRUE(store.Add({"2021-0" + std::to_string(1 + i % 8) + "-1" + std::to_string(i % 10),
                             "00010" + std::to_string(i % 10),
                             "测试蓝筹精选混合型证券投资基金" + std::to_string(i % 10),
                             sell ? positions::RecordKind::kSell : positions::RecordKind::kBuy,
                             sell ? 1000 : 10000 + i * 37, 10000 + i * 11}));
    }
  }
  const std::string ledger = test_support::ReadFileBytes(path);
  const size_t size = ledger.size();
  for (const auto& [keep, from, to] :
       {std::array{size / 2, size, size}, std::array{size, size / 4, size * 3 / 4},
        std::array{size, size_t{0}, size}}) {
    SCOPED_TRACE(std::to_string(keep) + " " + std::to_string(from));
    Stop();
    std::filesystem::remove_all(path.parent_path());
    std::filesystem::create_directories(path.parent_path());
    std::string damaged = ledger.substr(0, keep);
    std::mt19937 random(20210808);
    for (size_t i = from; i < to; ++i) damaged[i] = static_cast<char>(random());
    test_support::WriteFileBytes(path, damaged);
    Restart();
    Open();
    std::filesystem::path moved;
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path())) {
      if (entry.path().filename().string().rfind("positions.sqlite3.damaged-", 0) == 0) {
        moved = entry.path();
      }
    }
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(damaged, test_support::ReadFileBytes(moved));
    const std::vector<positions::Record> readable = ReadableRecords(moved, 1000);
    EXPECT_EQ(readable, PositionsStore(path).Records());
    EXPECT_TRUE(keep == size || !readable.empty());
    const std::string notice = "持仓记录文件已损坏，已恢复" + std::to_string(readable.size()) +
                               "条记录，原文件保存为" + moved.filename().string();
    EXPECT_EQ(std::vector<std::string>{notice}, shown());
    EXPECT_NE(std::string::npos, window().持仓状态.Caption().find(notice));
    const std::vector<positions::Position> held = positions::Replay(readable);
    EXPECT_EQ(std::count_if(held.begin(), held.end(), [](auto& p) { return p.shares > 0; }) + 2,
              grid().RowCount());
    Restart();
    Open();
    EXPECT_TRUE(shown().empty());  // not again
    EXPECT_EQ(std::string::npos, window().持仓状态.Caption().find(notice));
  }

  // Another copy holds the file for writing: the record is reported and not shown.
  auto other =
      store::Database::Open(path, store::Migrations(PositionsStore::SchemaVersion())).database;
  ASSERT_TRUE(other);
  ASSERT_TRUE(other->Execute("BEGIN EXCLUSIVE"));
  const int rows = grid().RowCount();
  Enter(Fund(1).code, "10", "1");
  Press(window().买入钮);
  EXPECT_EQ(std::vector<std::string>{positions::kCannotSaveText}, shown());
  EXPECT_EQ(rows, grid().RowCount());
  window().刷新持仓钮.Click();
  WaitForRefresh();
}

TEST_F(PositionsWindowTest,
       ALedgerInAFolderItsUserMayNotWriteShowsEverythingAndRefusesEveryChange) {
  Open();
  for (int i : {0, 1}) {
    Enter(Fund(i).code, "100", "1");
    Press(window().买入钮);
  }
  window().刷新持仓钮.Click();
  WaitForRefresh();
  const auto folder = positions::LedgerPath(app().paths()).parent_path();
  Stop();
  test_support::LetEveryoneRead(dir_.path());
  std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  const int result = test_support::RunUnprivileged([&] {
    Restart();
    EXPECT_NE("", app().main_window().持仓标签.Caption());
    Open();
    ASSERT_EQ(4, grid().RowCount());
    for (int row : {1, 2, 3}) EXPECT_NE("", grid().Text(row, app::kPosHeldProfit)) << row;
    Enter(Fund(2).code, "10", "1");
    Press(window().买入钮);
    grid().SetCurrentRow(1);
    Enter("", "10", "1");
    window().卖出钮.Click();
    window().删除持仓钮.Click();
    const std::string refused = positions::kCannotSaveText;
    EXPECT_EQ((std::vector<std::string>{refused, refused,
                                        "确定删除" + Fund(0).name + "的全部持仓记录吗？", refused}),
              shown());
    EXPECT_EQ("100.00", grid().Text(1, app::kPosShares));
    EXPECT_EQ(4, grid().RowCount());
  });
  std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  if (result == test_support::kCannotDropRights) GTEST_SKIP() << "root cannot become nobody here";
  EXPECT_EQ(0, result);
  Restart();
  EXPECT_EQ(2u, StoredRecords());
}

}  // namespace
