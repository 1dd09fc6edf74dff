// Workbooks read from real files: one written by openpyxl, and hand-packed ones for what it
// never writes (inline strings, a first sheet stored second, the 1904 date system, a zip bomb).

#include "ledger_import/xlsx_table.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_dir.h"

namespace ledger_import {
namespace {

using test_support::ReadFileBytes;
using test_support::TempDir;
using test_support::WriteFileBytes;

// Runs `script` with the system's Python 3, which writes the file `out` in `dir`; its bytes.
std::string MadeByPython(const TempDir& dir, const std::string& script) {
  WriteFileBytes(dir / "make.py", "import sys\n" + script);
  const std::string command =
      "/usr/bin/python3 '" + (dir / "make.py").string() + "' '" + (dir / "out.xlsx").string() + "'";
  EXPECT_EQ(0, std::system(command.c_str())) << "needs python3-openpyxl (scripts/setup-deps)";
  return ReadFileBytes(dir / "out.xlsx");
}

Table Read(const std::string& bytes) {
  TableOrError read = ReadXlsxTable(bytes);
  EXPECT_TRUE(std::holds_alternative<Table>(read)) << std::get<std::string>(read);
  return std::holds_alternative<Table>(read) ? std::get<Table>(read) : Table{};
}

TEST(XlsxTableTest, AWorkbookWrittenByOpenpyxlGivesItsFirstSheetsCellsAsText) {
  TempDir dir;
  const Table table = Read(MadeByPython(dir, R"(
import datetime, openpyxl
book = openpyxl.Workbook()
sheet = book.active
sheet.append(['日期', '代码', '名称', '金额', '份额'])
sheet.append([datetime.date(2024, 1, 5), '110011', '易方达中小盘混合', 1234.5, 0.0015])
sheet.append([datetime.datetime(2024, 1, 8, 15, 30, 5), 161725, ' 白酒 ', 1e-05, 12345678901])
sheet['G5'] = '稀疏'
book.create_sheet('其他')['A1'] = '不读'
book.save(sys.argv[1])
)"));
  ASSERT_EQ(4u, table.rows.size());
  EXPECT_EQ((SourceRow{1, {"日期", "代码", "名称", "金额", "份额"}}), table.rows[0]);
  EXPECT_EQ((SourceRow{2, {"2024-01-05", "110011", "易方达中小盘混合", "1234.5", "0.0015"}}),
            table.rows[1]);
  EXPECT_EQ((SourceRow{3, {"2024-01-08 15:30:05", "161725", "白酒", "0.00001", "12345678901"}}),
            table.rows[2]);
  EXPECT_EQ((SourceRow{5, {"", "", "", "", "", "", "稀疏"}}), table.rows[3]);
}

// A workbook packed part by part: its first sheet (in workbook.xml) is stored as sheet2.xml.
const char kPackScript[] = R"(
import zipfile
NS = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
parts = {
  '[Content_Types].xml': '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
  '_rels/.rels': '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="r1" Type="' + REL + '/officeDocument" Target="/xl/workbook.xml"/></Relationships>',
  'xl/workbook.xml': '<workbook ' + NS + ' xmlns:r="' + REL + '"><workbookPr date1904="1"/><sheets>'
    '<sheet name="B" sheetId="2" r:id="rId2"/><sheet name="A" sheetId="1" r:id="rId1"/></sheets></workbook>',
  'xl/_rels/workbook.xml.rels': '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="' + REL + '/worksheet" Target="worksheets/sheet1.xml"/>'
    '<Relationship Id="rId2" Type="' + REL + '/worksheet" Target="./worksheets/../worksheets/sheet2.xml"/>'
    '<Relationship Id="rId3" Type="' + REL + '/styles" Target="styles.xml"/></Relationships>',
  'xl/styles.xml': '<styleSheet ' + NS + '><numFmts><numFmt numFmtId="170" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/></numFmts>'
    '<cellStyleXfs><xf numFmtId="14"/></cellStyleXfs>'
    '<cellXfs><xf numFmtId="0"/><xf numFmtId="170"/><xf numFmtId="21"/><xf numFmtId="4"/></cellXfs></styleSheet>',
  'xl/worksheets/sheet1.xml': '<worksheet ' + NS + '><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>不读</t></is></c></row></sheetData></worksheet>',
  'xl/worksheets/sheet2.xml': '<worksheet ' + NS + '><sheetData>'
    '<row r="2"><c r="B2" t="inlineStr"><is><r><t>富</t></r><r><t>文本</t></r><rPh><t>fu</t></rPh></is></c>'
    '<c s="1"><v>7305</v></c><c s="2"><v>0.5</v></c><c s="3"><v>1234.5000000000002</v></c>'
    '<c><v>1.5E-3</v></c><c t="b"><v>1</v></c><c t="e"><v>#N/A</v></c></row>'
    '<row r="1"><c r="A1" t="inlineStr"><is><t>后写的第一行</t></is></c></row></sheetData></worksheet>',
}
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
  for name, text in parts.items():
    z.writestr(name, text)
)";

TEST(XlsxTableTest, TheFirstSheetIsFoundThroughItsRelationshipAndEveryCellKindIsRead) {
  TempDir dir;
  const Table table = Read(MadeByPython(dir, kPackScript));
  ASSERT_EQ(2u, table.rows.size());
  EXPECT_EQ((SourceRow{1, {"后写的第一行"}}), table.rows[0]);
  // 7305 days after 1904-01-01 in a custom date format; 0.5 in a time format; float noise gone.
  EXPECT_EQ(
      (SourceRow{2, {"", "富文本", "1924-01-01", "12:00:00", "1234.5", "0.0015", "TRUE", "#N/A"}}),
      table.rows[1]);
}

// The packed workbook again, with its first sheet's XML made by the Python expression `sheet`
// from `text`, the sheet's own.
std::string WithFirstSheet(const TempDir& dir, const std::string& sheet) {
  return MadeByPython(dir,
                      std::string(kPackScript) +
                          "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
                          "  for name, text in parts.items():\n"
                          "    if name.endswith('sheet2.xml'):\n"
                          "      text = " +
                          sheet +
                          "\n"
                          "    z.writestr(name, text)\n");
}

TEST(XlsxTableTest, ABombADoctypeAndAForeignFileAreRefused) {
  TempDir dir;
  // 65 MiB of XML packed into well under one.
  const std::string bomb =
      WithFirstSheet(dir, "text.replace('<sheetData>', ' ' * (65 << 20) + '<sheetData>')");
  EXPECT_LT(bomb.size(), std::size_t{1} << 20);
  const TableOrError read = ReadXlsxTable(bomb);
  ASSERT_TRUE(std::holds_alternative<std::string>(read));
  EXPECT_EQ(kFileTooLargeText, std::get<std::string>(read));

  const std::string doctype = WithFirstSheet(dir, "'<!DOCTYPE a [<!ENTITY e \"x\">]>' + text");
  EXPECT_TRUE(std::holds_alternative<std::string>(ReadXlsxTable(doctype)));
  EXPECT_TRUE(std::holds_alternative<Table>(ReadXlsxTable(WithFirstSheet(dir, "text"))));
  EXPECT_TRUE(std::holds_alternative<std::string>(ReadXlsxTable("日期,金额\n2024-01-05,1\n")));
}

TEST(XlsxTableTest, NumbersAreShownAsWrittenWithoutBinaryNoise) {
  const std::pair<const char*, const char*> cases[] = {
      {"1234.5", "1234.5"},           {"1234.0", "1234"}, {"0.30000000000000004", "0.3"},
      {"1.5E-3", "0.0015"},           {"-2.5e2", "-250"}, {"9.9999999999999999E2", "1000"},
      {"12345678901", "12345678901"}, {"0", "0"},         {"abc", "abc"}};
  for (const auto& [stored, shown] : cases) EXPECT_EQ(shown, NumberText(stored)) << stored;
}

TEST(XlsxTableTest, DateFormatsAreToldFromNumberFormats) {
  const std::pair<const char*, DateFormat> cases[] = {
      {"yyyy/m/d", DateFormat::kDate},
      {"m/d/yy h:mm", DateFormat::kDate},
      {"h:mm:ss", DateFormat::kTimeOnly},
      {"[h]:mm:ss", DateFormat::kNone},
      {"0.00", DateFormat::kNone},
      {"\"d\"0.00", DateFormat::kNone},
      {"General", DateFormat::kNone},
      {"mmm", DateFormat::kDate},
      {"[$-804]yyyy\"年\"m\"月\"", DateFormat::kDate}};
  for (const auto& [code, format] : cases) EXPECT_EQ(format, DateFormatOf(code)) << code;
  EXPECT_EQ("1900-02-28", SerialText(59, false, DateFormat::kDate));
  EXPECT_EQ("1900-03-01", SerialText(61, false, DateFormat::kDate));
  EXPECT_EQ("", SerialText(60, false, DateFormat::kDate));
}

}  // namespace
}  // namespace ledger_import
