// Text tables read from real files: their encodings, delimiters, quoted fields and the lines
// their rows start on.

#include "ledger_import/text_table.h"

#include <gtest/gtest.h>

#include "ledger_import/import_files.h"
#include "support/temp_dir.h"

namespace ledger_import {
namespace {

using test_support::ReadFileBytes;
using test_support::TempDir;
using test_support::WriteFileBytes;

// The file written to a temporary folder and read back as a table.
Table ReadThroughFile(const std::string& bytes) {
  TempDir dir;
  WriteFileBytes(dir / "导入.csv", bytes);
  TableOrError read = ReadTextTable(ReadFileBytes(dir / "导入.csv"));
  EXPECT_TRUE(std::holds_alternative<Table>(read)) << std::get<std::string>(read);
  return std::holds_alternative<Table>(read) ? std::get<Table>(read) : Table{};
}

TEST(TextTableTest, ASnapshotInGbkWithTabsGivesItsCellsInUtf8) {
  const Table table = ReadThroughFile(ledger_import_test::SnapshotGbk());
  ASSERT_EQ(3u, table.rows.size());
  EXPECT_EQ((SourceRow{1, {"基金代码", "基金名称", "持有份额", "成本价", "日期"}}), table.rows[0]);
  EXPECT_EQ((SourceRow{3, {"161725", "招商中证白酒指数A", "800", "1.05", "2024/1/2"}}),
            table.rows[2]);
}

TEST(TextTableTest, QuotedFieldsKeepDelimitersQuotesAndLineBreaks) {
  const Table table = ReadThroughFile(
      "\xEF\xBB\xBF日期,名称,备注\r\n"
      "2024-01-05,\"易方达, 中小盘\",\"第一行\r\n第二行\"\r\n"
      "\r\n"
      "20240106,\"名称里有\"\"引号\"\"\",  空格在外  \r\n"
      "2024-01-07,=\"000001\",,,\n");
  ASSERT_EQ(4u, table.rows.size());
  EXPECT_EQ((SourceRow{2, {"2024-01-05", "易方达, 中小盘", "第一行\n第二行"}}), table.rows[1]);
  // The row after the two-line field and the blank line starts on the file's fifth line.
  EXPECT_EQ((SourceRow{5, {"20240106", "名称里有\"引号\"", "空格在外"}}), table.rows[2]);
  // A spreadsheet's ="…" guard comes off; empty cells at the end are dropped.
  EXPECT_EQ((SourceRow{6, {"2024-01-07", "000001"}}), table.rows[3]);
}

TEST(TextTableTest, TheDelimiterIsTheOneThatSplitsTheLinesAlike) {
  const struct {
    const char* text;
    char delimiter;
  } cases[] = {
      {"日期,金额\n2024-01-05,\"1;5\"\n2024-01-06,2\n", ','},
      {"日期\t金额\t备注\n2024-01-05\t1,5\ta,b\n", '\t'},
      {"日期;金额\n2024-01-05;1,5\n2024-01-06;2,25\n", ';'},
      {"标题一行\n说明,一行\n日期;代码;金额\n1;2;3\n4;5;6\n", ';'},
      {"只有一列\n第二行\n", ','},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(test.delimiter, GuessDelimiter(test.text)) << test.text;
  }
}

TEST(TextTableTest, TheEncodingIsRecognisedFromTheBytes) {
  const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("e\0\xE5\x65\n\0", 6);
  const struct {
    std::string bytes;
    const char* first_cell;
  } cases[] = {
      {"基金,a\n", "基金"},
      {"\xEF\xBB\xBF基金,a\n", "基金"},
      {base::Utf8ToGbk("基金,a\n"), "基金"},
      {utf16, "e日"},
  };
  for (const auto& test : cases) {
    const Table table = ReadThroughFile(test.bytes);
    ASSERT_FALSE(table.rows.empty());
    EXPECT_EQ(test.first_cell, table.rows[0].cells[0]);
  }
}

TEST(TextTableTest, AFileOfTooManyCellsIsRefused) {
  const TableOrError read = ReadTextTable(std::string(kMaxCells, ',') + "x\n");
  ASSERT_TRUE(std::holds_alternative<std::string>(read));
  EXPECT_EQ(kFileTooLargeText, std::get<std::string>(read));
}

}  // namespace
}  // namespace ledger_import
