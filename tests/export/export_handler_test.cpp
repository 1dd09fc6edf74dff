// The export button: file name and place from the clock, the grid's contents, the time label.

#include "export/export_handler.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "app/app_fixture.h"
#include "xls_probe.h"

namespace {

namespace fs = std::filesystem;
using export_test::FirstDifference;
using export_test::GridValues;
using export_test::ProbeXls;
using export_test::Values;

// Hands out the given times in turn, then keeps the last.
class SteppingClock : public ui::Clock {
 public:
  explicit SteppingClock(std::deque<base::DateTime> times) : times_(std::move(times)) {}
  base::DateTime Now() const override {
    const base::DateTime now = times_.front();
    if (times_.size() > 1) times_.pop_front();
    return now;
  }

 private:
  mutable std::deque<base::DateTime> times_;
};

struct Fixture {
  explicit Fixture(std::deque<base::DateTime> times) : clock(std::move(times)) {}
  ui::Grid& grid() { return app.main_window().高级表格1; }
  std::string label() { return app.main_window().标签6.Caption(); }

  test_support::TempDir dir;
  app::AppPaths paths = app_test::TestPaths(dir.path());
  ui::RecordingDialogs dialogs;
  ui::ManualUiThread ui;
  SteppingClock clock;
  app::App app{paths, dialogs, ui, clock};
};

TEST(ExportHandler, WritesTheDaysFileInTheRunDirectoryAndShowsTheTime) {
  Fixture f({{2021, 8, 8, 9, 5, 3}, {2021, 8, 8, 9, 5, 3}});
  f.grid().SetText(1, 0, "华夏成长混合");
  f.grid().SetText(1, 1, "000001");
  exporter::ExportCurrentDataClick(f.app);
  const fs::path file = f.paths.run_dir / "8月8日.xls";
  ASSERT_TRUE(fs::exists(file));
  const nlohmann::json probe = ProbeXls(file);
  EXPECT_EQ(nlohmann::json::array(), probe["failures"]);
  EXPECT_EQ("", FirstDifference(GridValues(f.grid()), Values(probe)));
  EXPECT_EQ("导出时间0秒", f.label());
  EXPECT_EQ(std::vector<std::string>{}, f.dialogs.shown);
}

TEST(ExportHandler, SameDayExportsShareOneFileAndTheLatestWins) {
  Fixture f({{2021, 12, 31, 8, 0, 0},
             {2021, 12, 31, 8, 0, 0},  // first export
             {2021, 12, 31, 23, 59, 30},
             {2022, 1, 1, 0, 0, 45}});  // second, over New Year
  f.grid().SetText(1, 0, "第一次");
  exporter::ExportCurrentDataClick(f.app);
  f.grid().SetText(1, 0, "第二次");
  exporter::ExportCurrentDataClick(f.app);
  // The name comes from the time the export started; the time spans midnight.
  EXPECT_EQ("导出时间75秒", f.label());
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(f.paths.run_dir)) {
    files.push_back(e.path().filename().string());
  }
  EXPECT_EQ(std::vector<std::string>{"12月31日.xls"}, files);
  EXPECT_EQ("第二次", Values(ProbeXls(f.paths.run_dir / "12月31日.xls"))[1][0]);
}

TEST(ExportHandler, FailureIsShownAndTheTimeStillUpdated) {
  Fixture f({{2021, 8, 8, 9, 5, 3},
             {2021, 8, 8, 9, 5, 5},  // failing export
             {2021, 8, 8, 9, 5, 10},
             {2021, 8, 8, 9, 4, 0}});  // clock set back
  f.app.main_window().标签6.SetCaption("签到成功");
  fs::remove_all(f.paths.run_dir);
  exporter::ExportCurrentDataClick(f.app);
  EXPECT_EQ("导出时间2秒", f.label());
  ASSERT_EQ(1u, f.dialogs.shown.size());
  EXPECT_EQ("无法写入文件 " + (f.paths.run_dir / "8月8日.xls").string() + "，没有导出。",
            f.dialogs.shown[0]);
  EXPECT_FALSE(fs::exists(f.paths.run_dir));

  // A clock set back meanwhile shows no negative time.
  fs::create_directories(f.paths.run_dir);
  exporter::ExportCurrentDataClick(f.app);
  EXPECT_EQ("导出时间0秒", f.label());
}

}  // namespace
