// The compound-file container: sector planning around the DIFAT threshold, and files large
// enough to need several DIFAT sectors, read back by xlrd.

#include "export/compound_file.h"

#include <gtest/gtest.h>

#include "export/workbook_stream.h"
#include "support/temp_dir.h"
#include "xls_probe.h"

namespace {

using export_test::FirstDifference;
using export_test::FundGrid;
using export_test::GridValues;
using export_test::ProbeXls;
using export_test::Values;

class GridSource : public exporter::TableSource {
 public:
  explicit GridSource(const ui::Grid& grid) : grid_(grid) {}
  int RowCount() const override { return grid_.RowCount(); }
  int ColumnCount() const override { return grid_.ColumnCount(); }
  std::string_view Text(int row, int column) const override { return grid_.Text(row, column); }

 private:
  const ui::Grid& grid_;
};

class MemoryFile : public exporter::OutputFile {
 public:
  bool Write(std::string_view bytes) override {
    bytes_.append(bytes);
    return true;
  }
  bool Commit() override { return true; }
  std::string bytes_;
};

TEST(CompoundFile, PlanCoversEverySectorWithTheFewestFatAndDifatSectors) {
  for (uint32_t data = 8; data <= 40000; ++data) {
    const exporter::CompoundLayout plan = exporter::PlanCompoundFile(uint64_t{data} * 512);
    const uint64_t sectors = uint64_t{data} + 1 + plan.fat_sectors + plan.difat_sectors;
    ASSERT_EQ(data, plan.data_sectors);
    ASSERT_LE(sectors, uint64_t{plan.fat_sectors} * 128) << data;
    ASSERT_GT(sectors, uint64_t{plan.fat_sectors - 1} * 128) << data;
    const uint32_t want_difat = plan.fat_sectors <= 109 ? 0 : (plan.fat_sectors - 109 + 126) / 127;
    ASSERT_EQ(want_difat, plan.difat_sectors) << data;
    ASSERT_EQ(512 * (1 + sectors), plan.file_bytes) << data;
  }
  // The header lists 109 FAT sectors: one stream sector more needs the first DIFAT sector.
  EXPECT_EQ(109u, exporter::PlanCompoundFile(13842 * 512).fat_sectors);
  EXPECT_EQ(0u, exporter::PlanCompoundFile(13842 * 512).difat_sectors);
  EXPECT_EQ(110u, exporter::PlanCompoundFile(13843 * 512).fat_sectors);
  EXPECT_EQ(1u, exporter::PlanCompoundFile(13843 * 512).difat_sectors);
  // A partly used last sector counts whole.
  EXPECT_EQ(9u, exporter::PlanCompoundFile(4097).data_sectors);
}

TEST(CompoundFile, ShortStreamIsRefused) {
  MemoryFile out;
  const std::string small(4095, 'x');
  EXPECT_FALSE(exporter::WriteCompoundFile({small}, out));
  EXPECT_EQ(0u, out.bytes_.size());
}

TEST(CompoundFile, FileNeedingSeveralDifatSectorsReadsBack) {
  test_support::TempDir dir;
  ui::Grid grid = FundGrid(3);
  grid.SetText(3, 1, "000003");
  const exporter::WorkbookStream stream = exporter::BuildWorkbookStream(GridSource(grid));
  // Zero bytes after the sheet's end pad the stream to 17 MB: about 267 FAT sectors, listed
  // by the header and two DIFAT sectors.
  const std::string padding(17 << 20, '\0');
  auto file = exporter::OpenAtomicFile((dir / "padded.xls").string());
  ASSERT_TRUE(file);
  ASSERT_TRUE(exporter::WriteCompoundFile({stream.globals, stream.sheet, padding}, *file));
  ASSERT_TRUE(file->Commit());

  const nlohmann::json probe = ProbeXls(dir / "padded.xls");
  EXPECT_EQ(nlohmann::json::array(), probe["failures"]);
  EXPECT_EQ(2, probe["container"]["difat_sectors"].get<int>());
  const exporter::CompoundLayout plan =
      exporter::PlanCompoundFile(stream.globals.size() + stream.sheet.size() + padding.size());
  EXPECT_EQ(plan.fat_sectors, probe["container"]["fat_sectors"].get<uint32_t>());
  EXPECT_EQ(plan.file_bytes, probe["container"]["file_bytes"].get<uint64_t>());
  EXPECT_EQ("", FirstDifference(GridValues(grid), Values(probe)));
}

}  // namespace
