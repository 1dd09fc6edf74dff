// The export button: file name and place from the clock, the grid's contents, the time label.

#include "export/export_handler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <string>

#include "app/app_fixture.h"
#include "xls_probe.h"

namespace {

namespace fs = std::filesystem;
using export_test::FirstDifference;
using export_test::GridValues;
using export_test::ProbeXls;
using export_test::Values;

// Hands out the given wall times and steady readings (seconds) in turn, each keeping its last.
class SteppingClock : public ui::Clock {
 public:
  SteppingClock(std::deque<base::DateTime> walls, std::deque<int> steady)
      : walls_(std::move(walls)), steady_(std::move(steady)) {}
  base::DateTime Now() const override { return Next(walls_); }
  std::chrono::steady_clock::time_point Steady() const override {
    return std::chrono::steady_clock::time_point(std::chrono::seconds(Next(steady_)));
  }

 private:
  template <class T>
  static T Next(std::deque<T>& queue) {
    const T value = queue.front();
    if (queue.size() > 1) queue.pop_front();
    return value;
  }
  mutable std::deque<base::DateTime> walls_;
  mutable std::deque<int> steady_;
};

struct Fixture {
  Fixture(std::deque<base::DateTime> walls, std::deque<int> steady)
      : clock(std::move(walls), std::move(steady)) {}
  ui::Grid& grid() { return app.main_window().高级表格1; }
  std::string label() { return app.main_window().标签6.Caption(); }

  test_support::TempDir dir;
  app::AppPaths paths = app_test::TestPaths(dir.path());
  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui;
  SteppingClock clock;
  app::App app{paths, dialogs, ui, clock};
};

TEST(ExportHandler, WritesTheDaysFileInTheWorkbookFolderAndShowsTheTime) {
  Fixture f({{2021, 8, 8, 9, 5, 3}}, {100});
  f.grid().SetText(1, 0, "华夏成长混合");
  f.grid().SetText(1, 1, "000001");
  exporter::ExportCurrentDataClick(f.app);
  const fs::path file = f.paths.workbook_dir / "8月8日.xls";
  ASSERT_TRUE(fs::exists(file));
  const nlohmann::json probe = ProbeXls(file);
  EXPECT_EQ(nlohmann::json::array(), probe["failures"]);
  EXPECT_EQ("", FirstDifference(GridValues(f.grid()), Values(probe)));
  EXPECT_EQ("导出时间0秒", f.label());
  EXPECT_EQ(std::vector<std::string>{}, f.dialogs.shown);
}

TEST(ExportHandler, SameDayExportsShareOneFileAndTheLatestWins) {
  // The second export starts at 23:59:30 and ends 75 seconds later, in the new year.
  Fixture f({{2021, 12, 31, 8, 0, 0}, {2021, 12, 31, 23, 59, 30}}, {0, 0, 1000, 1075});
  f.grid().SetText(1, 0, "第一次");
  exporter::ExportCurrentDataClick(f.app);
  f.grid().SetText(1, 0, "第二次");
  exporter::ExportCurrentDataClick(f.app);
  // The name comes from the time the export started.
  EXPECT_EQ("导出时间75秒", f.label());
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(f.paths.workbook_dir)) {
    files.push_back(e.path().filename().string());
  }
  EXPECT_EQ(std::vector<std::string>{"12月31日.xls"}, files);
  EXPECT_EQ("第二次", Values(ProbeXls(f.paths.workbook_dir / "12月31日.xls"))[1][0]);
}

TEST(ExportHandler, FailureIsShownAndTheTimeStillUpdated) {
  Fixture f({{2021, 8, 8, 9, 5, 3}}, {10, 12});
  f.app.main_window().标签6.SetCaption("签到成功");
  fs::remove_all(f.paths.workbook_dir);
  exporter::ExportCurrentDataClick(f.app);
  EXPECT_EQ("导出时间2秒", f.label());
  ASSERT_EQ(1u, f.dialogs.shown.size());
  EXPECT_EQ("无法写入文件 " + (f.paths.workbook_dir / "8月8日.xls").string() + "，没有导出。",
            f.dialogs.shown[0]);
  EXPECT_FALSE(fs::exists(f.paths.workbook_dir));
}

TEST(ExportHandler, WallClockSetDuringTheExportDoesNotChangeTheTimeShown) {
  // Each export reads the wall clock at its start (the file name) and, on the old
  // reckoning, again at its end: set an hour forward, then an hour back.
  Fixture f({{2021, 8, 8, 9, 5, 3},
             {2021, 8, 8, 10, 5, 6},
             {2021, 8, 8, 10, 5, 6},
             {2021, 8, 8, 9, 5, 10}},
            {50, 53, 60, 64});
  exporter::ExportCurrentDataClick(f.app);
  EXPECT_EQ("导出时间3秒", f.label());
  exporter::ExportCurrentDataClick(f.app);
  EXPECT_EQ("导出时间4秒", f.label());
  EXPECT_TRUE(fs::exists(f.paths.workbook_dir / "8月8日.xls"));
}

// The full download's export: the same bytes as the button's, the grid copied in stretches while
// loads that would refill it are refused, the time shown once the worker has written it.
TEST(ExportHandler, InTheBackgroundWritesTheSameFileAndHoldsTheGridWhileCopyingIt) {
  Fixture f({{2021, 8, 8, 9, 5, 3}}, {100, 100, 100, 107});
  f.grid().SetRowCount(4501);
  for (int row = 1; row <= 4500; ++row) {
    f.grid().SetText(row, 0, "基金" + std::to_string(row));
    f.grid().SetText(row, 1, std::to_string(100000 + row));
  }
  const fs::path file = f.paths.workbook_dir / "8月8日.xls";
  exporter::ExportCurrentDataClick(f.app);
  const std::string by_click = test_support::ReadFileBytes(file);
  fs::remove(file);

  bool ended = false;
  exporter::ExportCurrentDataInBackground(f.app, [&] { ended = true; });
  EXPECT_TRUE(f.app.loads().Busy(app::LoadTarget::kFundGrid));
  // A write after the export began is not in the workbook once its row was copied.
  f.grid().SetText(1, 0, "已改");
  app_test::Settle(f.app, f.ui);
  EXPECT_TRUE(ended);
  EXPECT_FALSE(f.app.loads().Busy(app::LoadTarget::kFundGrid));
  EXPECT_EQ(by_click, test_support::ReadFileBytes(file));
  EXPECT_EQ("导出时间7秒", f.label());
  EXPECT_EQ(std::vector<std::string>{}, f.dialogs.shown);
}

}  // namespace
