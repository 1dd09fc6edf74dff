// Workbooks written from grids, read back by xlrd: values, cell types, formats, layout, view.

#include <gtest/gtest.h>

#include <string>

#include "export/grid_export.h"
#include "support/recording_dialogs.h"
#include "support/temp_dir.h"
#include "xls_probe.h"

namespace {

using export_test::FirstDifference;
using export_test::FundGrid;
using export_test::GridValues;
using export_test::ProbeXls;
using export_test::Values;
using nlohmann::json;

constexpr int kTextCell = 1;   // xlrd.XL_CELL_TEXT
constexpr int kBlankCell = 6;  // xlrd.XL_CELL_BLANK

json Export(const ui::Grid& grid, const std::filesystem::path& file) {
  test_support::RecordingDialogs dialogs;
  EXPECT_TRUE(exporter::ExportGrid(nullptr, &grid, file.string(), dialogs));
  EXPECT_EQ(std::vector<std::string>{}, dialogs.shown);
  return ProbeXls(file);
}

json StyleAt(const json& probe, int row, int column) {
  return probe["styles"][probe["style_of"][row][column].get<int>()];
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(WorkbookFormat, FundGridKeepsValuesTypesAndLayout) {
  test_support::TempDir dir;
  ui::Grid grid = FundGrid(3);
  grid.SetText(1, 0, "华夏成长混合");
  grid.SetText(1, 1, "000001");
  grid.SetText(1, 5, "-1.23%");
  grid.SetText(2, 0, "Fund & Co <test>");
  grid.SetText(2, 1, "000001");  // the same text twice is stored once
  grid.SetText(3, 23, "0.5");
  const json probe = Export(grid, dir / "8月8日.xls");
  ASSERT_EQ(json::array(), probe["failures"]);

  EXPECT_EQ("", FirstDifference(GridValues(grid), Values(probe)));
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 24; ++c) {
      const int want = grid.Text(r, c).empty() ? kBlankCell : kTextCell;
      EXPECT_EQ(want, probe["types"][r][c].get<int>()) << r << "," << c;
    }
  }
  EXPECT_EQ(30, probe["records"]["sst_total"].get<int>());
  EXPECT_EQ(29, probe["records"]["sst_unique"].get<int>());
  EXPECT_EQ(json::array({1200}), probe["records"]["codepage"]);

  // Blank cells carry the table's format as much as text cells do.
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 24; ++c) {
      const json style = StyleAt(probe, r, c);
      SCOPED_TRACE(std::to_string(r) + "," + std::to_string(c));
      EXPECT_EQ("宋体", style["font"].get<std::string>());
      EXPECT_EQ(240, style["height"].get<int>());
      EXPECT_EQ(134, style["charset"].get<int>());
      EXPECT_EQ(r == 0 ? 700 : 400, style["weight"].get<int>());
      EXPECT_EQ(r == 0 ? 1 : 0, style["bold"].get<int>());
      EXPECT_EQ(c < 2 ? "000000" : "General", style["format"].get<std::string>());
      EXPECT_EQ(2, style["hor_align"].get<int>());
      EXPECT_EQ(json::array({1, 1, 1, 1}), style["borders"]);
      EXPECT_EQ(0, style["is_style"].get<int>());
      EXPECT_EQ(0, style["parent"].get<int>());
    }
  }

  EXPECT_EQ(5814, probe["col_widths"]["0"].get<int>());
  for (int c = 1; c < 24; ++c) {
    EXPECT_EQ(2413, probe["col_widths"][std::to_string(c)].get<int>()) << c;
    EXPECT_EQ(15, probe["col_xf"][std::to_string(c)].get<int>()) << c;
  }
  EXPECT_EQ(24u, probe["col_widths"].size());
  for (int r = 0; r < 4; ++r) EXPECT_EQ(json::array({360, 0, 1}), probe["rows"][r]) << r;

  const json want_panes = {{"frozen", 1}, {"has_pane", 1},   {"horz", 1},
                           {"vert", 1},   {"horz_first", 1}, {"vert_first", 1},
                           {"active", 0}, {"selected", 1},   {"visible", 1}};
  EXPECT_EQ(want_panes, probe["panes"]);
}

TEST(WorkbookFormat, HeaderOnlyGridGivesOneBoldRowInAMinimumSizeFile) {
  test_support::TempDir dir;
  const ui::Grid grid = FundGrid(0);
  const json probe = Export(grid, dir / "x.xls");
  ASSERT_EQ(json::array(), probe["failures"]);
  EXPECT_EQ("", FirstDifference(GridValues(grid), Values(probe)));
  EXPECT_EQ(1, probe["nrows"].get<int>());
  for (int c = 0; c < 24; ++c) EXPECT_EQ(1, StyleAt(probe, 0, c)["bold"].get<int>()) << c;
  // A short stream is padded to the 4096 bytes below which readers look in the mini stream:
  // header, 8 stream sectors, one directory and one FAT sector.
  EXPECT_EQ(4096, probe["container"]["workbook_size"].get<int>());
  EXPECT_EQ(512 * 11, probe["container"]["file_bytes"].get<int>());
}

TEST(WorkbookFormat, LongAndForeignTextsSurviveRecordBoundaries) {
  test_support::TempDir dir;
  ui::Grid grid = FundGrid(6);
  // Texts longer than one record body, in both storage forms, with prefixes of 1 to 5 bytes so
  // that the record boundaries fall at odd and even places within characters' runs.
  for (int r = 1; r <= 6; ++r) {
    const std::string prefix(static_cast<size_t>(r), 'x');
    grid.SetText(r, 0, prefix + Repeat("基金", 2600));        // 10,400 bytes as UTF-16
    grid.SetText(r, 1, prefix + Repeat("0123456789", 1700));  // 17,000 Latin-1 bytes
    grid.SetText(r, 2, prefix + Repeat("𠀀😀中a", 1400));      // pairs straddle limits
    grid.SetText(r, 3, prefix + Repeat("é", 9000));           // one byte each stored
    grid.SetText(r, 4, Repeat("€", 32767 - r) + prefix);      // near the cell limit
    grid.SetText(r, 5, "鑫" + prefix);
  }
  grid.SetText(1, 6, "\xFF\xFE bad \xE4\xB8");  // not UTF-8: replacement characters
  const json probe = Export(grid, dir / "long.xls");
  ASSERT_EQ(json::array(), probe["failures"]);

  std::vector<std::vector<std::string>> want = GridValues(grid);
  want[1][6] = "\uFFFD\uFFFD bad \uFFFD\uFFFD";  // one per stray byte
  EXPECT_EQ("", FirstDifference(want, Values(probe)));
  EXPECT_LT(30, probe["records"]["continues"].get<int>());
}

TEST(WorkbookFormat, TwentyThousandFundRowsRoundTrip) {
  test_support::TempDir dir;
  ui::Grid grid = FundGrid(20000);
  for (int r = 1; r <= 20000; ++r) {
    char code[8];
    std::snprintf(code, sizeof code, "%06d", (r * 7919) % 1000000);
    grid.SetText(r, 0, "测试基金" + std::to_string(r % 4000) + "号混合A");
    grid.SetText(r, 1, code);
    grid.SetText(r, 2, r % 3 ? "混合型" : "债券型");
    grid.SetText(r, 3, "2021-08-0" + std::to_string(1 + r % 9));
    for (int c = 4; c < 24; ++c) {
      if ((r + c) % 11 == 0) continue;  // gaps, as funds without a value leave them
      grid.SetText(r, c,
                   std::to_string((r * 31 + c * 17) % 2000 - 1000) + "." +
                       std::to_string((r + c) % 100) + (c >= 5 && c <= 13 ? "%" : ""));
    }
  }
  const json probe = Export(grid, dir / "big.xls");
  ASSERT_EQ(json::array(), probe["failures"]);
  EXPECT_EQ(20001, probe["nrows"].get<int>());
  EXPECT_EQ(24, probe["ncols"].get<int>());
  EXPECT_EQ("", FirstDifference(GridValues(grid), Values(probe)));
  // Over 109 FAT sectors: the FAT is listed through a DIFAT sector.
  EXPECT_LT(109, probe["container"]["fat_sectors"].get<int>());
  EXPECT_EQ(1, probe["container"]["difat_sectors"].get<int>());
  EXPECT_GE(128, probe["records"]["buckets"].get<int>());
  const json last_row_style = StyleAt(probe, 20000, 0);
  EXPECT_EQ("000000", last_row_style["format"].get<std::string>());
  EXPECT_EQ(400, last_row_style["weight"].get<int>());
  EXPECT_EQ(json::array({360, 0, 1}), probe["rows"][20000]);
}

}  // namespace
