// Property: any grid within the worksheet limits reads back cell for cell, whatever its shape
// and texts (empty cells, codes, Chinese, characters outside the BMP and outside GBK, texts
// spanning several records, repeated texts). Seeded, so a failure repeats.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/encoding.h"
#include "export/grid_export.h"
#include "support/recording_dialogs.h"
#include "support/temp_dir.h"
#include "xls_probe.h"

namespace {

using export_test::FirstDifference;
using export_test::GridValues;
using export_test::ProbeXls;
using export_test::Values;

class TextMaker {
 public:
  explicit TextMaker(uint32_t seed) : random_(seed) {}

  std::string Cell() {
    switch (Pick(10)) {
      case 0:
      case 1:
        return "";
      case 2: {
        char code[8];
        std::snprintf(code, sizeof code, "%06u", Pick(1000000));
        return code;
      }
      case 3:
        return pool_[Pick(static_cast<uint32_t>(pool_.size()))];
      case 4:
        return Run(1 + Pick(4000 + Pick(2) * 12000));  // now and then beyond a record
      default:
        return Run(1 + Pick(24));
    }
  }

 private:
  uint32_t Pick(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(random_); }

  // A text of `length` characters from one or a mix of scripts; the mix decides whether the
  // shared string is stored one byte or two bytes a character.
  std::string Run(uint32_t length) {
    const uint32_t script = Pick(6);
    std::string out;
    for (uint32_t i = 0; i < length; ++i) {
      const uint32_t s = script == 5 ? Pick(5) : script;
      char32_t cp;
      switch (s) {
        case 0:
          cp = 0x20 + Pick(0x5F);  // ASCII
          break;
        case 1:
          cp = 0xA0 + Pick(0x60);  // Latin-1: still one byte a character
          break;
        case 2:
          cp = 0x4E00 + Pick(0x5200);  // CJK
          break;
        case 3:
          cp = Pick(2) ? 0x20000 + Pick(0xA6E0) : 0x1F600 + Pick(0x50);  // outside the BMP
          break;
        default:
          cp = Pick(2) ? 0x0400 + Pick(0x100) : 0xAC00 + Pick(0x2BA4);  // not in GBK
          break;
      }
      if (Pick(200) == 0) cp = Pick(2) ? '\t' : '\n';
      base::AppendUtf8(cp, &out);
    }
    return out;
  }

  std::mt19937 random_;
  std::vector<std::string> pool_ = {"混合型", "债券型", "0.00%", "--", "😀", "a"};
};

TEST(RandomGrids, ReadBackCellForCell) {
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 shape(seed * 7919);
    const int rows = 1 + static_cast<int>(shape() % (seed % 4 == 0 ? 3 : 300));
    const int cols = 1 + static_cast<int>(shape() % (seed % 6 == 0 ? 256 : 30));
    std::vector<ui::GridColumn> columns(static_cast<size_t>(cols));
    TextMaker texts(seed);
    for (auto& column : columns) column.header = texts.Cell();
    ui::Grid grid(columns, rows);
    for (int r = 1; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) grid.SetText(r, c, texts.Cell());
    }

    test_support::TempDir dir;
    test_support::RecordingDialogs dialogs;
    ASSERT_TRUE(exporter::ExportGrid(nullptr, &grid, (dir / "r.xls").string(), dialogs));
    EXPECT_EQ(std::vector<std::string>{}, dialogs.shown);
    const nlohmann::json probe = ProbeXls(dir / "r.xls");
    EXPECT_EQ(nlohmann::json::array(), probe["failures"]);
    EXPECT_EQ("", FirstDifference(GridValues(grid), Values(probe)));
    int wrong_types = 0;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        wrong_types += probe["types"][r][c].get<int>() != (grid.Text(r, c).empty() ? 6 : 1);
      }
    }
    EXPECT_EQ(0, wrong_types);
  }
}

}  // namespace
