// The layouts recognised from real files' headers and their rows read into import rows or
// reasons; the keys that keep a second import from adding anything.

#include "ledger_import/rows.h"

#include <gtest/gtest.h>

#include "ledger_import/import_files.h"
#include "ledger_import/sha256.h"
#include "ledger_import/text_table.h"
#include "support/temp_dir.h"

namespace ledger_import {
namespace {

using test_support::ReadFileBytes;
using test_support::TempDir;
using test_support::WriteFileBytes;

struct Read {
  Table table;
  Layout layout;
  std::vector<RowOrReason> rows;
};

Read ReadFile(const std::string& bytes, const std::string& name = "导入.csv") {
  TempDir dir;
  WriteFileBytes(dir / name, bytes);
  Read read;
  read.table = std::get<Table>(ReadTextTable(ReadFileBytes(dir / name)));
  read.layout = Recognize(read.table);
  read.rows = ReadRows(read.table, read.layout, name);
  return read;
}

const ImportRow& RowAt(const Read& read, size_t index) {
  static const ImportRow kNone;
  const auto* row = std::get_if<ImportRow>(&read.rows.at(index));
  EXPECT_NE(nullptr, row) << std::get<std::string>(read.rows.at(index));
  return row != nullptr ? *row : kNone;
}

std::string ReasonAt(const Read& read, size_t index) {
  const auto* reason = std::get_if<std::string>(&read.rows.at(index));
  return reason != nullptr ? *reason : "(an import row)";
}

TEST(RowsTest, Sha256GivesTheStandardDigests) {
  EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", Sha256Hex(""));
  EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", Sha256Hex("abc"));
  EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
            Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
}

TEST(RowsTest, HeadersAreGuessedAsTheirKinds) {
  const std::pair<const char*, ColumnKind> cases[] = {
      {"确认日期", ColumnKind::kDay},     {"时间", ColumnKind::kTime},
      {"基金代码", ColumnKind::kCode},    {"基金名称", ColumnKind::kName},
      {"业务类型", ColumnKind::kType},    {"确认金额", ColumnKind::kAmount},
      {"持有份额", ColumnKind::kShares},  {"单位净值", ColumnKind::kNav},
      {"成本价", ColumnKind::kCostPrice}, {"手续费", ColumnKind::kFee},
      {"交易号", ColumnKind::kTradeId},   {"交易账户", ColumnKind::kAccount},
      {"定投周期", ColumnKind::kCycle},   {"结束日期", ColumnKind::kEndDay},
      {"手续费率", ColumnKind::kFeeRate}, {"已定投至", ColumnKind::kMadeThrough},
      {"备注", ColumnKind::kIgnore}};
  for (const auto& [header, kind] : cases) EXPECT_EQ(kind, GuessKind(header)) << header;
  // A date-time column holds the day when no column is a 日期; a second 代码 is ignored.
  EXPECT_EQ((std::vector{ColumnKind::kDay, ColumnKind::kCode, ColumnKind::kIgnore}),
            GuessKinds({"交易时间", "基金代码", "代码"}));
}

TEST(RowsTest, ABillGivesItsSuccessfulFundTradesAndStopsAtItsTotals) {
  const Read read = ReadFile(ledger_import_test::BillGbk(), "账单.csv");
  EXPECT_EQ(Preset::kBill, read.layout.preset);
  EXPECT_EQ(4u, read.layout.header);
  ASSERT_EQ(5u, read.rows.size());

  const ImportRow& buy = RowAt(read, 0);
  EXPECT_EQ(6, buy.line);
  EXPECT_EQ("2024-01-05", buy.day);
  EXPECT_EQ("10:20:30", buy.time);
  EXPECT_FALSE(buy.after_close);
  EXPECT_EQ("", buy.code);
  EXPECT_EQ("易方达蓝筹精选混合", buy.name);
  EXPECT_EQ(ImportKind::kBuy, buy.kind);
  EXPECT_EQ(100000, buy.amount);
  EXPECT_EQ("交易号:2024010522001", buy.key);

  EXPECT_EQ("第7行：交易状态为“交易关闭”，不导入", ReasonAt(read, 1));
  const ImportRow& late = RowAt(read, 2);
  EXPECT_EQ("15:02:11", late.time);
  EXPECT_TRUE(late.after_close);
  EXPECT_EQ(20000, late.amount);

  const ImportRow& sale = RowAt(read, 3);
  EXPECT_EQ(ImportKind::kSell, sale.kind);
  EXPECT_EQ(30050, sale.amount);
  EXPECT_FALSE(sale.shares.has_value());
  EXPECT_EQ("第10行：不是基金买入或卖出", ReasonAt(read, 4));
}

TEST(RowsTest, ASnapshotGivesOneHoldingPerFund) {
  const Read read = ReadFile(ledger_import_test::SnapshotGbk(), "持仓.txt");
  EXPECT_EQ(Preset::kSnapshot, read.layout.preset);
  ASSERT_EQ(2u, read.rows.size());
  const ImportRow& first = RowAt(read, 0);
  EXPECT_EQ(ImportKind::kHolding, first.kind);
  EXPECT_EQ("110011", first.code);
  EXPECT_EQ(123456, first.shares);
  EXPECT_EQ(32100, first.cost_price);
  EXPECT_EQ("2024-01-02", first.day);
  EXPECT_EQ(80000, RowAt(read, 1).shares);
  EXPECT_EQ(10500, RowAt(read, 1).cost_price);
}

TEST(RowsTest, TheExportHeaderAndItsKindTextsReadBack) {
  std::string file;
  for (const char* header : kExportHeader) file += std::string(header) + ",";
  file += "\n";
  // What the export writes: buys, sales and dividends (a holding is for snapshots).
  const char* figures[] = {"1000.00,,,1.5", "500.00,100.00,,", "12.34,,,", ",5.67,3.2,"};
  for (int kind = 0; kind < 4; ++kind) {
    file += std::string("2024-01-05,14:30:00,110011,易方达中小盘混合,") + kImportKindTexts[kind] +
            "," + figures[kind] + ",,默认账户\n";
  }
  const Read read = ReadFile(file);
  EXPECT_EQ(Preset::kExport, read.layout.preset);
  ASSERT_EQ(4u, read.rows.size());
  for (int kind = 0; kind < 4; ++kind) {
    EXPECT_EQ(static_cast<ImportKind>(kind), RowAt(read, kind).kind) << kind;
    EXPECT_EQ("默认账户", RowAt(read, kind).account);
  }
  EXPECT_EQ(150, RowAt(read, 0).fee);
  EXPECT_EQ(32000, RowAt(read, 3).nav);
}

TEST(RowsTest, DaysAndTimesAreReadInTheCommonForms) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"2024-01-05", "2024-01-05", ""},
      {"2024/1/5", "2024-01-05", ""},
      {"2024.1.5 9:05", "2024-01-05", "09:05:00"},
      {"20240105", "2024-01-05", ""},
      {"2024年1月5日 15:00:00", "2024-01-05", "15:00:00"},
      {"2024-01-05T14:59:59.5", "2024-01-05", "14:59:59"},
  };
  std::string file = "日期,代码,金额\n";
  for (const auto& [text, day, time] : cases) file += std::string(text) + ",1,100\n";
  const Read read = ReadFile(file);
  ASSERT_EQ(std::size(cases), read.rows.size());
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(std::get<1>(cases[i]), RowAt(read, i).day) << std::get<0>(cases[i]);
    EXPECT_EQ(std::get<2>(cases[i]), RowAt(read, i).time) << std::get<0>(cases[i]);
    EXPECT_EQ("000001", RowAt(read, i).code);
  }
}

TEST(RowsTest, ARowThatCannotBeReadSaysWhy) {
  const std::pair<const char*, const char*> cases[] = {
      {"2024-02-30,,000001,,买入,100,,,,", "日期无法识别"},
      {",,000001,,买入,100,,,,", "缺少日期"},
      {"2024-01-05,25:00,000001,,买入,100,,,,", "时间无法识别"},
      {"2024-01-05,,00000A,,买入,100,,,,", "代码无法识别"},
      {"2024-01-05,,,,买入,100,,,,", "缺少代码和名称"},
      {"2024-01-05,,000001,,转托管,100,,,,", "类型无法识别"},
      {"2024-01-05,,000001,,买入,100.001,,,,", "金额无法识别"},
      {"2024-01-05,,000001,,卖出,,1.234,,,", "份额无法识别"},
      {"2024-01-05,,000001,,买入,,10,abc,,", "净值无法识别"},
      {"2024-01-05,,000001,,持仓,,10,,x,", "成本价无法识别"},
      {"2024-01-05,,000001,,买入,100,,,,-", "手续费无法识别"},
      {"2024-01-05,,000001,,买入,,10,,,", "买入须有金额，或份额和净值"},
      {"2024-01-05,,000001,,卖出,,,,,", "卖出须有份额或金额"},
      {"2024-01-05,,000001,,持仓,,10,,,", "持仓须有份额和成本价"},
  };
  std::string file = "日期,时间,代码,名称,类型,金额,份额,净值,成本价,手续费\n";
  for (const auto& [row, reason] : cases) file += std::string(row) + "\n";
  const Read read = ReadFile(file);
  ASSERT_EQ(std::size(cases), read.rows.size());
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ("第" + std::to_string(i + 2) + "行：" + cases[i].second, ReasonAt(read, i));
  }
}

TEST(RowsTest, MoneyIsExactWhateverItsNotation) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"1,234.50", 123450}, {"¥1000", 100000}, {"100.000", 10000}, {"-300.5", 30050}};
  std::string file = "日期,代码,金额\n";
  for (const auto& [text, fen] : cases) file += std::string("2024-01-05,1,\"") + text + "\"\n";
  const Read read = ReadFile(file);
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].second, RowAt(read, i).amount);
  // A negative amount without a 类型 column is money that came in: a sale.
  EXPECT_EQ(ImportKind::kSell, RowAt(read, 3).kind);
}

TEST(RowsTest, KeysAreTheSameOnASecondReadAndTellEqualRowsApart) {
  const std::string file = "日期,代码,金额\n2024-01-05,1,100\n2024-01-05,1,100\n2024-01-06,1,100\n";
  const Read first = ReadFile(file);
  const Read again = ReadFile(file);
  const Read renamed = ReadFile(file, "另一个.csv");
  ASSERT_EQ(3u, first.rows.size());
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(RowAt(first, i).key.starts_with("sha256:"));
    EXPECT_EQ(RowAt(first, i).key, RowAt(again, i).key);
    EXPECT_NE(RowAt(first, i).key, RowAt(renamed, i).key);
  }
  EXPECT_NE(RowAt(first, 0).key, RowAt(first, 1).key);
  EXPECT_NE(RowAt(first, 1).key, RowAt(first, 2).key);
}

}  // namespace
}  // namespace ledger_import
