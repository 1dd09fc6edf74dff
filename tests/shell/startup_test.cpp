#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_fixture.h"
#include "base/encoding.h"
#include "funds/funds.h"
#include "shell/startup_tasks.h"

namespace shell {
namespace {

// A program whose fund feature added its start-up steps, as the shell has it.
struct AppFixture : app_test::AppFixture {
  AppFixture() { funds.Install({}); }
  funds::Funds funds{app};
};
using test_support::Listing;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

std::string Gbk(const std::string& utf8) { return base::Utf8ToGbk(utf8); }

TEST(StartupTasksTest, FirstStartSeedsSettingsAndGuardFileOnly) {
  AppFixture f;
  using Phase = app::StartupPhase;
  std::vector<Phase> ran;
  for (Phase phase : {Phase::kSideTools, Phase::kCheckBoxes, Phase::kRankingList}) {
    f.app.AddStartupStep(phase, [&ran, phase](app::App&) { ran.push_back(phase); });
  }
  const mode_t umask_before = ::umask(077);
  StartupTasks(f.app);
  ::umask(umask_before);
  EXPECT_EQ(Gbk("[加载数据]\r\n是否全部加载=假\r\n"), ReadFileBytes(f.ConfigPath()));
  const std::filesystem::path& guard = f.app.paths().guard_file;
  EXPECT_EQ(Gbk("10月30日0"), ReadFileBytes(guard));
  // Seeded by the writer the download guard uses: put in place whole, with its mode whatever
  // the umask.
  EXPECT_EQ(std::filesystem::perms(0644),
            std::filesystem::status(guard).permissions() & std::filesystem::perms::mask);
  EXPECT_EQ(std::vector<std::string>({guard.filename().string()}), Listing(guard.parent_path()));
  EXPECT_EQ(std::vector<Phase>({Phase::kRankingList}), ran);
  EXPECT_EQ(1, f.funds.lists().BoardFreshClick);
  EXPECT_FALSE(f.app.main_window().选择框1.Checked());
  EXPECT_EQ(0, f.app.main_window().超级列表框2.RowCount());
}

TEST(StartupTasksTest, LaterStartRunsFeatureStepsInOrderAndKeepsTheGuardFile) {
  AppFixture f;
  WriteFileBytes(f.ConfigPath(), Gbk("[开机自启]\r\n自启=真\r\n"));
  std::filesystem::create_directories(f.app.paths().guard_file.parent_path());
  WriteFileBytes(f.app.paths().guard_file, Gbk("12月1日3"));
  // A settings write cut short by a kill left its temporary file behind.
  const std::filesystem::path stale = f.app.paths().run_dir / ".配置.ini.Ab12Cd";
  WriteFileBytes(stale, "half");
  std::vector<std::string> ran;
  using Phase = app::StartupPhase;
  f.app.AddStartupStep(Phase::kRankingList, [&](app::App&) { ran.push_back("ranking"); });
  f.app.AddStartupStep(Phase::kSideTools, [&](app::App&) {
    ran.push_back("side tools, board flag " + std::to_string(f.funds.lists().BoardFreshClick));
  });
  f.app.AddStartupStep(Phase::kCheckBoxes, [&](app::App& a) {
    ran.push_back("after the check boxes? " + std::to_string(a.main_window().选择框2.Checked()));
  });
  StartupTasks(f.app);
  EXPECT_EQ(
      std::vector<std::string>({"side tools, board flag 1", "after the check boxes? 1", "ranking"}),
      ran);
  EXPECT_EQ(Gbk("12月1日3"), ReadFileBytes(f.app.paths().guard_file));
  EXPECT_EQ(Gbk("[开机自启]\r\n自启=真\r\n"), ReadFileBytes(f.ConfigPath()));
  EXPECT_FALSE(std::filesystem::exists(stale));
}

TEST(StartupTasksTest, CheckBoxesAreRestoredFromTheExactTrueWordWithoutWritingBack) {
  struct Case {
    const char* load_all;
    const char* autostart;
    bool box1;
    bool box2;
  };
  const Case cases[] = {{"真", "真", true, true},
                        {"假", "真", false, true},
                        {"true", "假", false, false},
                        {"真 ", "", false, false},
                        {"", "真", false, true}};
  for (const Case& c : cases) {
    AppFixture f;
    const std::string bytes = Gbk(std::string("[加载数据]\r\n是否全部加载=") + c.load_all +
                                  "\r\n[开机自启]\r\n自启=" + c.autostart + "\r\n");
    WriteFileBytes(f.ConfigPath(), bytes);
    StartupTasks(f.app);
    EXPECT_EQ(c.box1, f.app.main_window().选择框1.Checked()) << c.load_all;
    EXPECT_EQ(c.box2, f.app.main_window().选择框2.Checked()) << c.autostart;
    EXPECT_EQ(bytes, ReadFileBytes(f.ConfigPath()));
  }
}

TEST(StartupTasksTest, WatchlistIsRefilledNumberedWithCodeFirstAndTypeLast) {
  struct Case {
    const char* stored;
    std::vector<std::vector<std::string>> rows;
  };
  const Case cases[] = {
      {"", {}},
      {"000001/华夏成长/基金|600519/贵州茅台/股票|",
       {{"1", "000001", "华夏成长", "基金"}, {"2", "600519", "贵州茅台", "股票"}}},
      {"a/b/c|d/e/f", {{"1", "a", "b", "c"}, {"2", "d", "e", "f"}}},
      {"a/b/c||d/e/f|", {{"1", "a", "b", "c"}, {"2", "", "", ""}, {"3", "d", "e", "f"}}},
      {"110011/易方达A/B混合/基金|", {{"1", "110011", "易方达A/B混合", "基金"}}},
      {"x/y/z/w/基金|", {{"1", "x", "y/z/w", "基金"}}},
      {"000001/华夏|000002|", {{"1", "000001", "华夏", ""}, {"2", "000002", "", ""}}},
  };
  for (const Case& c : cases) {
    AppFixture f;
    WriteFileBytes(f.ConfigPath(), Gbk(std::string("[自选数据]\r\n自选=") + c.stored + "\r\n"));
    StartupTasks(f.app);
    const ui::ListView& list = f.app.main_window().超级列表框2;
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < list.RowCount(); ++r) {
      rows.push_back({list.Text(r, 0), list.Text(r, 1), list.Text(r, 2), list.Text(r, 3)});
    }
    EXPECT_EQ(c.rows, rows) << c.stored;
  }
}

TEST(StartupTasksTest, StartRemovesOnlyOurWritersStaleTempFilesBesideTheirTargets) {
  AppFixture f;
  const std::filesystem::path run = f.app.paths().workbook_dir;
  std::filesystem::create_directories(run);
  const std::filesystem::path state = f.app.paths().guard_file.parent_path();
  std::filesystem::create_directories(state);
  WriteFileBytes(f.ConfigPath(), Gbk("[开机自启]\r\n自启=假\r\n"));
  // Left by the two exports and a guard write killed before their rename.
  const std::vector<std::filesystem::path> stale = {
      run / ".12月9日.xls.cRYZjg", run / ".8月8日.xls.Ab12Cd", run / ".持仓8月8日.xls.Zx9Yw8",
      state / ".记录.txt.Qw3rTy"};
  for (const auto& file : stale) WriteFileBytes(file, "half");
  const std::vector<std::string> kept_in_run = {"12月9日.xls",
                                                ".12月9日.xls.cRYZj",
                                                ".13月9日.xls.cRYZjg",
                                                ".08月8日.xls.Ab12Cd",
                                                ".8月32日.xls.Ab12Cd",
                                                ".8月8日.xlsx.Ab12Cd",
                                                ".notes.txt.Ab12Cd",
                                                ".记录.txt.Qw3rTy",
                                                ".持仓.xls.Ab12Cd",
                                                ".持仓8月32日.xls.Ab12Cd",
                                                "victim"};
  for (const std::string& name : kept_in_run) WriteFileBytes(run / name, "keep");
  std::filesystem::create_directory(run / ".8月8日.xls.DirDir");
  std::filesystem::create_symlink(run / "victim", run / ".8月8日.xls.LinkXY");
  std::filesystem::create_symlink(run / "victim", state / ".记录.txt.LinkXY");

  StartupTasks(f.app);
  for (const auto& file : stale) EXPECT_FALSE(std::filesystem::exists(file)) << file;
  std::vector<std::string> expected = kept_in_run;
  expected.insert(expected.end(), {".8月8日.xls.DirDir", ".8月8日.xls.LinkXY"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, test_support::Listing(run));
  EXPECT_EQ((std::vector<std::string>{".记录.txt.LinkXY", "记录.txt"}),
            test_support::Listing(state));
  EXPECT_EQ("keep", ReadFileBytes(run / "victim"));
}

TEST(StartupTasksTest, StartTakesGroupAndOtherBitsOffTheSettingsFile) {
  for (auto [before, after] :
       {std::pair{0644u, 0600u}, {0640u, 0600u}, {0604u, 0600u}, {0600u, 0600u}, {0400u, 0400u}}) {
    AppFixture f;
    WriteFileBytes(f.ConfigPath(), Gbk("[开机自启]\r\n自启=假\r\n"));
    std::filesystem::permissions(f.ConfigPath(), static_cast<std::filesystem::perms>(before));
    StartupTasks(f.app);
    EXPECT_EQ(static_cast<std::filesystem::perms>(after),
              std::filesystem::status(f.ConfigPath()).permissions())
        << std::oct << before;
  }
}

TEST(StartupTasksTest, GuardFileFailureIsIgnored) {
  AppFixture f;
  // A plain file where the guard's folder should be: the folder cannot be made.
  WriteFileBytes(f.app.paths().guard_file.parent_path().parent_path(), "blocker");
  StartupTasks(f.app);
  EXPECT_FALSE(std::filesystem::exists(f.app.paths().guard_file));
  EXPECT_TRUE(std::filesystem::exists(f.ConfigPath()));
}

TEST(AppTest, PortalBaseUrlsComeFromTheSettingsFileSectionOverBuiltIns) {
  AppFixture built_in;
  test_support::TempDir dir;
  const app::AppPaths paths = app_test::TestPaths(dir.path());
  WriteFileBytes(paths.run_dir / "配置.ini",
                 Gbk("[门户]\r\nPORTAL_API=http://example.test:81/\r\n"));
  app::App app(paths, built_in.dialogs, built_in.ui, built_in.clock);
  EXPECT_EQ("http://example.test:81", app.portal().portal_api);
  EXPECT_EQ(built_in.app.portal().portal_main, app.portal().portal_main);
  EXPECT_NE("http://example.test:81", built_in.app.portal().portal_api);
}

}  // namespace
}  // namespace shell
