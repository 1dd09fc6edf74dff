// What the export does around the workbook: its sources, refusals, failures and the file.

#include "export/grid_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "support/recording_dialogs.h"
#include "support/temp_dir.h"
#include "ui/list_view.h"
#include "xls_probe.h"

namespace {

namespace fs = std::filesystem;
using export_test::FirstDifference;
using export_test::FundGrid;
using export_test::GridValues;
using export_test::ProbeXls;
using export_test::Values;
using nlohmann::json;
using test_support::Listing;

unsigned Mode(const fs::path& file) {
  struct stat info {};
  stat(file.c_str(), &info);
  return info.st_mode & 07777;
}

ui::Grid SmallGrid(int rows, int columns) {
  std::vector<ui::GridColumn> cols(static_cast<size_t>(columns));
  for (int c = 0; c < columns; ++c) cols[c].header = "列" + std::to_string(c);
  return ui::Grid(cols, rows);
}

// A disk that fills up after `limit` bytes: the bytes before go to the real file.
class FullDisk : public exporter::OutputFile {
 public:
  FullDisk(std::unique_ptr<exporter::OutputFile> real, size_t limit)
      : real_(std::move(real)), left_(limit) {}
  bool Write(std::string_view bytes) override {
    const size_t n = std::min(left_, bytes.size());
    real_->Write(bytes.substr(0, n));
    left_ -= n;
    full_ = full_ || n < bytes.size();
    return !full_;
  }
  bool Commit() override { return !full_ && real_->Commit(); }

 private:
  std::unique_ptr<exporter::OutputFile> real_;
  size_t left_;
  bool full_ = false;
};

TEST(GridExport, NeedsExactlyOneSource) {
  test_support::TempDir dir;
  const ui::Grid grid = FundGrid(1);
  const ui::ListView list;
  test_support::RecordingDialogs dialogs;
  EXPECT_FALSE(exporter::ExportGrid(nullptr, nullptr, (dir / "a.xls").string(), dialogs));
  EXPECT_FALSE(exporter::ExportGrid(&list, &grid, (dir / "a.xls").string(), dialogs));
  EXPECT_EQ((std::vector<std::string>{"超级列表框与高级列表框不能同为空!",
                                      "超级列表框与高级列表框不能同时保存!"}),
            dialogs.shown);
  EXPECT_EQ(std::vector<std::string>{}, Listing(dir.path()));
}

TEST(GridExport, TableBeyondWorksheetLimitsIsRefusedWithoutAFile) {
  test_support::TempDir dir;
  const std::string path = (dir / "big.xls").string();
  test_support::RecordingDialogs dialogs;
  const ui::Grid huge_rows = SmallGrid(65537, 2);
  const ui::Grid huge_cols = SmallGrid(2, 257);
  EXPECT_FALSE(exporter::ExportGrid(nullptr, &huge_rows, path, dialogs));
  EXPECT_FALSE(exporter::ExportGrid(nullptr, &huge_cols, path, dialogs));
  ASSERT_EQ(2u, dialogs.shown.size());
  EXPECT_EQ("表格有65537行2列，超出 Excel 97-2003 工作表的上限（65536行、256列），没有导出。",
            dialogs.shown[0]);
  EXPECT_EQ("表格有2行257列，超出 Excel 97-2003 工作表的上限（65536行、256列），没有导出。",
            dialogs.shown[1]);
  EXPECT_EQ(std::vector<std::string>{}, Listing(dir.path()));

  // Exactly at the limits the table is written whole.
  ui::Grid tall = SmallGrid(65536, 2);
  tall.SetText(65535, 1, "最后一行");
  EXPECT_TRUE(exporter::ExportGrid(nullptr, &tall, path, dialogs));
  json probe = ProbeXls(path);
  EXPECT_EQ(json::array(), probe["failures"]);
  EXPECT_EQ("", FirstDifference(GridValues(tall), Values(probe)));
  ui::Grid wide = SmallGrid(2, 256);
  wide.SetText(1, 255, "IV2");
  EXPECT_TRUE(exporter::ExportGrid(nullptr, &wide, path, dialogs));
  probe = ProbeXls(path);
  EXPECT_EQ(json::array(), probe["failures"]);
  EXPECT_EQ("", FirstDifference(GridValues(wide), Values(probe)));
  EXPECT_EQ(2u, dialogs.shown.size());
}

TEST(GridExport, CellLongerThanExcelHoldsIsRefused) {
  test_support::TempDir dir;
  const std::string path = (dir / "long.xls").string();
  ui::Grid grid = FundGrid(2);
  std::string longest;
  for (int i = 0; i < 16383; ++i) longest += "😀";  // two UTF-16 units each
  longest += "x";                                  // 32,767 units: still fits
  grid.SetText(2, 1, longest);
  test_support::RecordingDialogs dialogs;
  EXPECT_TRUE(exporter::ExportGrid(nullptr, &grid, path, dialogs));
  EXPECT_EQ("", FirstDifference(GridValues(grid), Values(ProbeXls(path))));

  fs::remove(path);
  grid.SetText(2, 1, longest + "y");
  EXPECT_FALSE(exporter::ExportGrid(nullptr, &grid, path, dialogs));
  EXPECT_EQ(
      std::vector<std::string>{
          "第3行第2列的文字超过32767个字符，Excel 97-2003 单元格存不下，没有导出。"},
      dialogs.shown);
  EXPECT_EQ(std::vector<std::string>{}, Listing(dir.path()));
}

TEST(GridExport, FailedWriteLeavesNoFileAndKeepsTheOldOne) {
  test_support::TempDir dir;
  ui::Grid grid = FundGrid(300);
  for (int r = 1; r <= 300; ++r) grid.SetText(r, 0, "基金" + std::to_string(r));
  test_support::RecordingDialogs dialogs;

  const std::string missing_dir = (dir / "nowhere" / "a.xls").string();
  EXPECT_FALSE(exporter::ExportGrid(nullptr, &grid, missing_dir, dialogs));
  fs::create_directory(dir / "a directory.xls");
  EXPECT_FALSE(exporter::ExportGrid(nullptr, &grid, (dir / "a directory.xls").string(), dialogs));
  EXPECT_TRUE(fs::is_directory(dir / "a directory.xls"));
  EXPECT_EQ(std::vector<std::string>{"a directory.xls"}, Listing(dir.path()));

  const fs::path target = dir / "8月8日.xls";
  test_support::WriteFileBytes(target, "yesterday's export");
  for (size_t limit : {size_t{0}, size_t{511}, size_t{4096}, size_t{20000}, size_t{40000}}) {
    const exporter::OutputOpener full_disk = [limit](const std::string& path) {
      return std::make_unique<FullDisk>(exporter::OpenAtomicFile(path), limit);
    };
    EXPECT_FALSE(exporter::ExportGrid(nullptr, &grid, target.string(), dialogs, full_disk))
        << limit;
    EXPECT_EQ("yesterday's export", test_support::ReadFileBytes(target)) << limit;
    EXPECT_EQ((std::vector<std::string>{"8月8日.xls", "a directory.xls"}), Listing(dir.path()))
        << limit;
  }
  ASSERT_EQ(7u, dialogs.shown.size());
  EXPECT_EQ("无法写入文件 " + missing_dir + "，没有导出。", dialogs.shown[0]);
}

TEST(GridExport, SecondExportToTheSameNameReplacesTheFirst) {
  test_support::TempDir dir;
  const fs::path path = dir / "8月8日.xls";
  test_support::RecordingDialogs dialogs;
  ui::Grid first = FundGrid(50);
  for (int r = 1; r <= 50; ++r) first.SetText(r, 1, "00000" + std::to_string(r % 10));
  // A saved document is 0666 less the umask, whatever mode the file it replaces had.
  const mode_t old_umask = umask(022);
  ASSERT_TRUE(exporter::ExportGrid(nullptr, &first, path.string(), dialogs));
  EXPECT_EQ(0644u, Mode(path));
  ui::Grid second = FundGrid(2);
  second.SetText(1, 0, "只剩一行");
  chmod(path.c_str(), 0400);
  umask(027);
  ASSERT_TRUE(exporter::ExportGrid(nullptr, &second, path.string(), dialogs));
  umask(old_umask);
  EXPECT_EQ(0640u, Mode(path));

  const json probe = ProbeXls(path);
  EXPECT_EQ(json::array(), probe["failures"]);
  EXPECT_EQ("", FirstDifference(GridValues(second), Values(probe)));
  EXPECT_EQ(std::vector<std::string>{"8月8日.xls"}, Listing(dir.path()));
  EXPECT_EQ(std::vector<std::string>{}, dialogs.shown);
}

TEST(GridExport, ListViewExportsItsHeadersAsTheFirstRow) {
  test_support::TempDir dir;
  ui::ListView list;
  list.SetColumns({{"代码", 60}, {"名称", 120}});
  list.SetText(list.InsertRow(), 0, "000001");
  const int row = list.InsertRow();
  list.SetText(row, 0, "110011");
  list.SetText(row, 1, "易方达中小盘");
  test_support::RecordingDialogs dialogs;
  ASSERT_TRUE(exporter::ExportGrid(&list, nullptr, (dir / "l.xls").string(), dialogs));
  const json probe = ProbeXls(dir / "l.xls");
  EXPECT_EQ(json::array(), probe["failures"]);
  const std::vector<std::vector<std::string>> want = {
      {"代码", "名称"}, {"000001", ""}, {"110011", "易方达中小盘"}};
  EXPECT_EQ(want, Values(probe));

  // A list without columns still gives a workbook, with an empty sheet.
  const ui::ListView empty;
  ASSERT_TRUE(exporter::ExportGrid(&empty, nullptr, (dir / "e.xls").string(), dialogs));
  const json empty_probe = ProbeXls(dir / "e.xls");
  EXPECT_EQ(json::array(), empty_probe["failures"]);
  EXPECT_EQ(0, empty_probe["nrows"].get<int>());
  EXPECT_EQ(std::vector<std::string>{}, dialogs.shown);
}

}  // namespace
