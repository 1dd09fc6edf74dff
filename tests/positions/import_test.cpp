// 导入 and 导出记录 in the positions window with real files against the simulated portal: a
// snapshot in GBK with tabs, a bill with a failed row, a late buy and a name to pick, a workbook
// written by openpyxl, the round trip of an export, and a second import adding nothing.

#include "positions/import.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "base/encoding.h"
#include "positions/import_window.h"
#include "positions/positions_fixture.h"
#include "sim/fund_search.h"
#include "support/temp_dir.h"

namespace {

using positions::Record;
using positions::RecordKind;

class ImportTest : public positions_test::PositionsWindowTest {
 protected:
  app::ImportWindow& preview() { return app().import_window(); }
  std::string Status() { return window().持仓状态.Caption(); }
  // Opens the window at a Friday's close.
  void Begin() {
    program_->clock.Set({2021, 8, 20, 16, 0, 0});
    Open();
  }
  std::filesystem::path Write(const std::string& name, const std::string& bytes) {
    test_support::WriteFileBytes(dir_.path() / name, bytes);
    return dir_.path() / name;
  }
  // Chooses the file with 导入 and waits for its preview.
  void Choose(const std::filesystem::path& path) {
    program_->dialogs.chosen = path.string();
    window().导入钮.Click();
    program_->Settle();
    ASSERT_TRUE(preview().Visible());
  }
  void Confirm() {
    preview().确认导入钮.Click();
    program_->Settle();
  }
  // The state column of the preview's rows.
  std::vector<std::string> States() {
    std::vector<std::string> states;
    const ui::Grid& rows = preview().导入表格;
    for (int row = 1; row < rows.RowCount(); ++row) states.push_back(rows.Text(row, 0));
    return states;
  }
  std::vector<Record> Stored() {
    return positions::PositionsStore(positions::LedgerPath(app().paths())).Records();
  }
  // 持仓表格's rows as shown: every column of every fund and the total.
  std::vector<std::vector<std::string>> Shown() {
    std::vector<std::vector<std::string>> shown;
    for (int row = 1; row < grid().RowCount(); ++row) {
      std::vector<std::string> cells;
      for (int column = 0; column < grid().ColumnCount(); ++column) {
        cells.push_back(grid().Text(row, column));
      }
      shown.push_back(cells);
    }
    return shown;
  }
};

TEST_F(ImportTest, ASnapshotInGbkWithTabsBuysEachFundAtItsCostOnceAndAgainAddsNothing) {
  Begin();
  const std::string text = "基金代码\t基金名称\t持有份额\t成本价\n" + Fund(0).code + "\t" +
                           Fund(0).name + "\t1000.00\t1.2345\n" + Fund(1).code + "\t" +
                           Fund(1).name + "\t500.5\t2\n";
  const auto path = Write("快照.txt", base::Utf8ToGbk(text));
  Choose(path);
  EXPECT_EQ("格式：持仓快照", preview().格式标签.Caption());
  EXPECT_EQ((std::vector<std::string>{"新增", "新增"}), States());
  EXPECT_EQ("导入2行", preview().确认导入钮.Caption());
  EXPECT_TRUE(Stored().empty());  // nothing before the confirm
  preview().快照日期框.SetText("2021-08-02");
  Confirm();
  EXPECT_FALSE(preview().Visible());
  EXPECT_NE(std::string::npos, Status().find("新增2笔，重复0笔")) << Status();
  const std::vector<Record> stored = Stored();
  ASSERT_EQ(2u, stored.size());
  EXPECT_EQ((Record{"2021-08-02", Fund(0).code, Fund(0).name, RecordKind::kBuy, 100000, 12345}),
            (Record{stored[0].day, stored[0].code, stored[0].name, stored[0].kind, stored[0].shares,
                    stored[0].price}));
  EXPECT_EQ("1.2345", grid().Text(1, app::kPosCostPrice));
  EXPECT_EQ("2.0000", grid().Text(2, app::kPosCostPrice));

  Choose(path);
  EXPECT_EQ((std::vector<std::string>{"重复", "重复"}), States());
  EXPECT_EQ("导入0行", preview().确认导入钮.Caption());
  Confirm();
  EXPECT_NE(std::string::npos, Status().find("新增0笔，重复2笔")) << Status();
  EXPECT_EQ(2u, Stored().size());
}

// A name the search gives several funds for, none of that very name.
std::string AmbiguousName(const sim::Market& market) {
  for (const sim::Fund& fund : market.funds()) {
    for (size_t length = 6; length + 3 <= fund.name.size(); length += 3) {
      const std::string key = fund.name.substr(0, length);
      if (sim::SearchFunds(market, key).size() < 2) continue;
      bool exact = false;
      for (const sim::Fund& other : market.funds()) exact = exact || other.name == key;
      if (!exact) return key;
    }
  }
  return "";
}

std::string BillLine(const std::string& id, const std::string& time, const std::string& goods,
                     const std::string& amount, const std::string& state) {
  return id + "\t,M" + id + " ," + time + " ," + time + " ," + time + " ,其他 ,即时到账交易 ," +
         "某基金销售公司 ," + goods + " ," + amount + " ,支出 ," + state + " ,0.00 ,0.00 , ," +
         "已支出 ,\r\n";
}

TEST_F(ImportTest, ABillsBuysConfirmAsTradesItsSaleByProceedsAndANameIsPickedOnce) {
  Begin();
  const std::string ambiguous = AmbiguousName(sim_->market());
  ASSERT_FALSE(ambiguous.empty());
  const std::string a = Fund(2).name;
  std::string text =
      "支付宝交易记录明细查询\r\n账号:[someone@example.com]\r\n"
      "---------------------------------交易记录明细列表----------------------------\r\n"
      "交易号 ,商家订单号 ,交易创建时间 ,付款时间 ,最近修改时间 ,交易来源地 ,类型 ,交易对方 ,"
      "商品名称 ,金额（元） ,收/支 ,交易状态 ,服务费（元） ,成功退款（元） ,备注 ,资金状态 ,\r\n";
  text += BillLine("T1", "2021-07-29 10:00:00", "蚂蚁财富-" + a + "-买入", "1000.00", "交易成功");
  text += BillLine("T2", "2021-07-30 15:30:00", "蚂蚁财富-" + a + "-买入", "500.00", "交易成功");
  text += BillLine("T3", "2021-07-30 11:00:00", "蚂蚁财富-" + a + "-买入", "800.00", "交易关闭");
  text += BillLine("T4", "2021-08-03 10:00:00", "蚂蚁财富-" + ambiguous + "-买入", "200.00",
                   "交易成功");
  text += BillLine("T5", "2021-08-04 10:00:00", "蚂蚁财富-" + ambiguous + "-买入", "300.00",
                   "交易成功");
  text += BillLine("T6", "2021-08-05 10:00:00", "蚂蚁财富-" + a + "-卖出", "300.00", "交易成功");
  text += "------------------------------------\r\n共6笔记录\r\n";
  Choose(Write("账单.csv", base::Utf8ToGbk(text)));
  EXPECT_EQ("格式：账单", preview().格式标签.Caption());
  const std::vector<std::string> states = States();
  ASSERT_EQ(6u, states.size());
  EXPECT_EQ("新增", states[1]);
  EXPECT_NE(std::string::npos, states[2].find("交易关闭")) << states[2];
  EXPECT_NE(std::string::npos, states[4].find("请在候选框中选择")) << states[4];
  EXPECT_EQ(ui::Rgb(255, 0, 0), preview().导入表格.TextColour(3, app::kImportState));
  EXPECT_EQ("导入3行", preview().确认导入钮.Caption());
  // The first candidate, once for both rows of the name.
  ASSERT_GE(preview().候选框.Items().size(), 3u);
  const std::string picked = preview().候选框.Items()[1];
  preview().候选框.Choose(1);
  EXPECT_EQ("新增", States()[3]);
  EXPECT_EQ("新增", States()[4]);
  EXPECT_FALSE(preview().候选框.Enabled());
  EXPECT_EQ("导入5行", preview().确认导入钮.Caption());
  preview().卖出费率框.SetText("0.5");
  Confirm();
  EXPECT_NE(std::string::npos, Status().find("新增5笔，重复0笔")) << Status();
  // The sale waits, marked, with its proceeds.
  const ui::Grid& trades = window().交易表格;
  const int last = trades.RowCount() - 1;
  EXPECT_EQ(positions::kReviewText, trades.Text(last, app::kTradeState));
  EXPECT_EQ("300.00", trades.Text(last, app::kTradeAmount));
  window().刷新持仓钮.Click();
  WaitForRefresh();
  program_->Settle();

  std::map<std::string, Record> by_day;
  for (const Record& record : Stored()) by_day[record.day + record.code] = record;
  const std::string code = Fund(2).code;
  EXPECT_TRUE(by_day.contains("2021-07-29" + code));
  EXPECT_EQ(50000, by_day["2021-08-02" + code].amount);  // placed Friday after 15:00
  const Record sale = by_day["2021-08-05" + code];
  EXPECT_EQ(RecordKind::kSell, sale.kind);
  EXPECT_EQ(30000, positions::CashFlowOf(sale));  // the proceeds as the bill gives them
  EXPECT_EQ(151, sale.fee);                       // 300 / 0.995 = 301.51 gross
  const std::string picked_code = picked.substr(picked.size() - 6 - 3, 6);
  EXPECT_EQ(20000, by_day["2021-08-03" + picked_code].amount) << picked;
  EXPECT_EQ(picked, by_day["2021-08-03" + picked_code].name + "（" + picked_code + "）");
  EXPECT_EQ(30000, by_day["2021-08-04" + picked_code].amount) << picked;
}

TEST_F(ImportTest, AWorkbookWrittenByOpenpyxlImportsItsRowsWithTheMappingChosen) {
  Begin();
  const std::filesystem::path book = dir_.path() / "记录.xlsx";
  test_support::WriteFileBytes(dir_.path() / "make.py",
                               "import sys, datetime, openpyxl\n"
                               "book = openpyxl.Workbook()\n"
                               "sheet = book.active\n"
                               "sheet.append(['日期', '基金', '操作', '份额', '单价', '备注'])\n"
                               "sheet.append([datetime.date(2021, 8, 2), '" +
                                   Fund(3).code +
                                   "', '买入', 100, 1.5, 'x'])\n"
                                   "sheet.append([datetime.date(2021, 8, 3), '" +
                                   Fund(3).code +
                                   "', '卖出', 40.5, 1.6, 'y'])\n"
                                   "book.save(sys.argv[1])\n");
  const std::string command =
      "/usr/bin/python3 '" + (dir_.path() / "make.py").string() + "' '" + book.string() + "'";
  ASSERT_EQ(0, std::system(command.c_str())) << "needs python3-openpyxl";
  Choose(book);
  // 基金 reads as a name at first: mapped to 代码 by hand.
  EXPECT_NE(std::string::npos, States()[0].find("请在候选框中选择")) << States()[0];
  preview().源列框.Choose(1);
  EXPECT_EQ("第2列 基金", preview().源列框.CurrentText());
  EXPECT_EQ(static_cast<int>(ledger_import::ColumnKind::kName), preview().映射框.Current());
  preview().映射框.Choose(static_cast<int>(ledger_import::ColumnKind::kCode));
  program_->Settle();
  EXPECT_EQ((std::vector<std::string>{"新增", "新增"}), States());
  Confirm();
  const std::vector<Record> stored = Stored();
  ASSERT_EQ(2u, stored.size());
  EXPECT_EQ((Record{"2021-08-03", Fund(3).code, Fund(3).name, RecordKind::kSell, 4050, 16000}),
            (Record{stored[1].day, stored[1].code, stored[1].name, stored[1].kind, stored[1].shares,
                    stored[1].price}));
  EXPECT_EQ(15000, stored[0].price);
}

// A plan from a file that does not say how far it was made goes on after the import (the buys
// it made before are the file's other rows); one yet to start makes its periods from its start.
TEST(ImportItemTest, APlanGoesOnAfterTheImportUnlessItIsYetToStart) {
  ledger_import::ImportRow row;
  row.kind = ledger_import::ImportKind::kPlan;
  row.code = "000001";
  row.amount = 50000;
  row.cycle = "每日";
  positions::ImportChoices choices;
  choices.today = "2021-08-20";
  for (const auto& [start, made_through] :
       {std::pair("2021-01-06", "2021-08-20"), std::pair("2021-09-01", "")}) {
    row.day = start;
    const auto item = positions::ItemOf(row, choices);
    ASSERT_TRUE(std::holds_alternative<positions::ImportItem>(item));
    EXPECT_EQ(made_through, std::get<positions::ImportItem>(item).plan->made_through);
  }
}

TEST_F(ImportTest, RecordsExportedAndImportedIntoAnEmptyLedgerShowTheSamePositions) {
  {
    positions::PositionsStore store(positions::LedgerPath(app().paths()));
    const auto add = [&](const char* day, int fund, RecordKind kind, std::int64_t shares,
                         std::int64_t price, std::int64_t fee, std::int64_t amount) {
      Record record{day, Fund(fund).code, Fund(fund).name, kind, shares, price, fee, amount};
      ASSERT_TRUE(store.Add(record));
    };
    add("2021-03-01", 4, RecordKind::kBuy, 100000, 12000, 150, 0);
    add("2021-03-02", 5, RecordKind::kBuy, 80883, 12345, 150, 100000);
    add("2021-04-01", 4, RecordKind::kSell, 30050, 13000, 20, 0);
    add("2021-05-06", 4, RecordKind::kCashDividend, 0, 0, 0, 1234);
    add("2021-05-07", 5, RecordKind::kReinvest, 1234, 12500, 0, 0);
    // A buy placed after today's close waits for Monday's NAV; a plan yet to start, and a paused
    // one that made its periods through July.
    ASSERT_TRUE(
        store.AddTrade({"2021-08-20", Fund(5).code, Fund(5).name, false, 50000, 0, 1000, true}));
    ASSERT_TRUE(store.SavePlan({0, Fund(4).code, Fund(4).name, 20000, 1200,
                                positions::Cycle::kMonthly, 8, "2021-09-01", "2022-09-01"}));
    ASSERT_TRUE(
        store.SavePlan({0, Fund(5).code, Fund(5).name, 10000, positions::kFundFeeRate,
                        positions::Cycle::kWeekly, 3, "2021-06-02", "", true, "2021-07-31"}));
  }
  const auto book = [&] {
    positions::Book read =
        positions::PositionsStore(positions::LedgerPath(app().paths())).ReadBook();
    for (positions::Plan& plan : read.plans) plan.id = 0;
    std::vector<positions::Trade> trades;
    for (const positions::PendingTrade& pending : read.trades) trades.push_back(pending.trade);
    return std::pair(read.plans, trades);
  };
  const auto plans_and_trades = book();
  ASSERT_EQ(2u, plans_and_trades.first.size());
  ASSERT_EQ(1u, plans_and_trades.second.size());
  Restart();
  Begin();
  const auto before = Shown();
  ASSERT_EQ(3u, before.size());  // two funds and the total
  window().导出记录钮.Click();
  program_->Settle();
  const std::filesystem::path exported =
      app().paths().workbook_dir / (std::string(positions::kRecordsFilePrefix) + "20210820.csv");
  EXPECT_NE(std::string::npos, Status().find(exported.string())) << Status();
  ASSERT_TRUE(std::filesystem::exists(exported));
  EXPECT_EQ(0u, test_support::ReadFileBytes(exported).rfind("\xEF\xBB\xBF日期,时间,代码", 0));

  Stop();
  std::filesystem::remove(positions::LedgerPath(app_test::TestPaths(dir_.path())));
  Restart();
  Begin();
  ASSERT_TRUE(Stored().empty());
  Choose(exported);
  EXPECT_EQ("格式：本程序导出的记录", preview().格式标签.Caption());
  EXPECT_EQ("导入8行", preview().确认导入钮.Caption());
  Confirm();
  window().刷新持仓钮.Click();
  WaitForRefresh();
  EXPECT_EQ(before, Shown());
  EXPECT_EQ(plans_and_trades, book());
}

}  // namespace
