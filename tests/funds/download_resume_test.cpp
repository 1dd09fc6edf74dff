// The full download resumes against the simulated portal: a download killed in its detail phase
// and started again the same day asks only for the funds it lacks and writes the workbook of an
// uninterrupted run; a fund that failed is asked again, and the workbook of a download that left
// funds incomplete may be redone. A damaged, read-only or locked cache changes nothing but that.

#include "funds/download_resume.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/app_fixture.h"
#include "base/encoding.h"
#include "export/xls_probe.h"
#include "funds/full_download.h"
#include "funds/fund_table.h"
#include "funds/lists_fixture.h"
#include "sim/server.h"
#include "support/write_lock_holder.h"

namespace {

using Values = std::vector<std::vector<std::string>>;

constexpr char kToday[] = "2021-08-08";
// The page markers of the four profile requests, each followed by the fund's code.
const std::vector<std::string> kProfileMarkers = {"/jbgk_", "/jjjl_", "fundcode=", "/tsdata_"};

class DownloadResumeTest : public ::testing::Test {
 protected:
  void StartPortal(int funds, const sim::FaultOptions& faults = {}) {
    sim::PortalSimOptions options;
    options.market.funds = funds;
    options.faults = faults;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
  }
  // The program started afresh over the directories under `root`.
  app_test::Program& NewProgram(const std::filesystem::path& root) {
    program_.reset();
    app_test::PointPortalAt(root, sim_->BaseUrl());
    program_ = std::make_unique<app_test::Program>(root);
    funds::InstallFullDownload(app());
    return *program_;
  }
  app::App& app() { return program_->app; }
  app::MainWindow& main() { return app().main_window(); }
  std::vector<std::string>& shown() { return program_->dialogs.shown; }
  std::filesystem::path Workbook(const std::filesystem::path& root) {
    return app_test::TestPaths(root).workbook_dir / "8月8日.xls";
  }
  std::string Record() {
    return base::GbkToUtf8(test_support::ReadFileBytes(app().paths().guard_file));
  }
  static std::filesystem::path CacheFile(const std::filesystem::path& root) {
    return app_test::TestPaths(root).cache_file;
  }
  static std::map<std::string, std::string> Kept(const std::filesystem::path& root,
                                                 const std::string& day = kToday) {
    store::Cache cache(CacheFile(root));
    return cache.LoadDetails(day);
  }

  // Starts the driver program over `root` as a child process. As an ordinary user it lacks the
  // capabilities that let root write into any folder.
  pid_t SpawnDriver(const std::filesystem::path& root, bool ordinary_user = false) {
    const std::string driver = FULL_DOWNLOAD_DRIVER, where = root.string(), url = sim_->BaseUrl();
    const pid_t child = ::fork();
    if (child == 0) {
      if (ordinary_user) {
        for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
          ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
        }
      }
      ::execl(driver.c_str(), driver.c_str(), where.c_str(), url.c_str(), nullptr);
      ::_exit(127);
    }
    return child;
  }
  static int WaitExit(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The fund codes asked for with `marker` from request number `from` on, as often as asked.
  std::multiset<std::string> Asked(size_t from, const std::string& marker) {
    const std::vector<sim::RecordedRequest> requests = sim_->requests().Snapshot();
    std::multiset<std::string> codes;
    for (size_t i = from; i < requests.size(); ++i) {
      const size_t at = requests[i].target.find(marker);
      if (at != std::string::npos) codes.insert(requests[i].target.substr(at + marker.size(), 6));
    }
    return codes;
  }
  std::multiset<std::string> AllCodes() {
    std::multiset<std::string> codes;
    for (const sim::Fund& fund : sim_->market().funds()) codes.insert(fund.code);
    return codes;
  }
  // Every profile page was asked exactly for `codes` from request `from` on.
  void ExpectAskedFor(size_t from, const std::multiset<std::string>& codes) {
    for (const std::string& marker : kProfileMarkers) {
      EXPECT_EQ(codes, Asked(from, marker)) << marker;
    }
  }

  // The cell texts of today's workbook under `root`, read back by the probe.
  Values WorkbookValues(const std::filesystem::path& root) {
    return export_test::Values(export_test::ProbeXls(Workbook(root)));
  }
  // The workbook of an uninterrupted download with a cache of its own, made once per test.
  const Values& CleanWorkbook() {
    if (clean_.empty()) {
      const std::filesystem::path root = dir_.path() / "clean";
      NewProgram(root);
      main().导出所有数据钮.Click();
      program_->Settle();
      EXPECT_EQ("加载完毕", main().Title());
      clean_ = WorkbookValues(root);
      program_.reset();
    }
    return clean_;
  }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<app_test::Program> program_;
  Values clean_;
};

TEST(DownloadResumePayloadTest, ColumnsRoundTripAndAnythingElseCountsAsNotKept) {
  const funds::ProfileColumns columns = {"12.34",   "0",     "45.67%", "3年又120天", "",
                                         "a\"b\\c", "[1,2]", "",       "\n",         "0.49"};
  EXPECT_EQ(columns, funds::DecodeProfileColumns(funds::EncodeProfileColumns(columns)));
  EXPECT_EQ("", funds::EncodeProfileColumns({"\xff"}));
  for (const char* bad : {"", "[", "{}", "[\"a\"]", "[1,2,3,4,5,6,7,8,9,10]",
                          "[\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"]", "null"}) {
    EXPECT_FALSE(funds::DecodeProfileColumns(bad)) << bad;
  }
  EXPECT_EQ("2021-08-08", funds::CalendarDay({2021, 8, 8, 23, 59, 59}));
}

TEST_F(DownloadResumeTest, KilledInItsDetailPhaseItResumesWithTheMissingFundsOnlyThatDay) {
  constexpr int kFunds = 80;
  sim::FaultOptions slow;
  slow.latency_ms = 5;
  StartPortal(kFunds, slow);
  const pid_t driver = SpawnDriver(dir_.path());
  ASSERT_GT(driver, 0);
  while (Asked(0, "/tsdata_").size() < kFunds / 2) {
    ASSERT_EQ(0, ::waitpid(driver, nullptr, WNOHANG)) << "the download ended before the kill";
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(driver, SIGKILL);
  ASSERT_EQ(-1, WaitExit(driver));

  const std::map<std::string, std::string> kept = Kept(dir_.path());
  ASSERT_GT(kept.size(), 0u);
  ASSERT_LT(kept.size(), static_cast<size_t>(kFunds));
  std::multiset<std::string> missing = AllCodes();
  for (const auto& [code, payload] : kept) missing.erase(code);

  const size_t from = sim_->requests().Count();
  NewProgram(dir_.path());
  {
    // The log watches this program's window, which the next day's program replaces.
    lists_test::TitleLog log(main());
    main().导出所有数据钮.Click();
    program_->Settle();
    EXPECT_EQ("加载完毕", main().Title());
    EXPECT_EQ("8月8日1", Record());
    ExpectAskedFor(from, missing);
    // The kept funds count as done from the start of the detail phase.
    const auto first_detail = std::find_if(log.titles.begin(), log.titles.end(), [](auto& t) {
      return t.find("详情") != std::string::npos;
    });
    ASSERT_NE(log.titles.end(), first_detail);
    EXPECT_EQ("正在加载第4页，详情" + std::to_string(kept.size()) + "/80", *first_detail);
  }
  EXPECT_EQ(static_cast<size_t>(kFunds), Kept(dir_.path()).size());
  EXPECT_EQ("", export_test::FirstDifference(CleanWorkbook(), WorkbookValues(dir_.path())));

  // The next day nothing kept counts: every fund is asked, and the old day is dropped.
  NewProgram(dir_.path()).clock.Set({2021, 8, 9, 9, 0, 0});
  const size_t next_day = sim_->requests().Count();
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ("加载完毕", main().Title());
  ExpectAskedFor(next_day, AllCodes());
  EXPECT_TRUE(Kept(dir_.path()).empty());
  EXPECT_EQ(static_cast<size_t>(kFunds), Kept(dir_.path(), "2021-08-09").size());
}

TEST_F(DownloadResumeTest, AFailedFundIsAskedAgainAndItsIncompleteWorkbookRedone) {
  StartPortal(20);
  const std::string failing = sim_->market().funds()[3].code;
  const std::string damaged = sim_->market().funds()[7].code;
  sim::FaultOptions faults;
  faults.fail_targets = {"/tsdata_" + failing};
  sim_->SetFaults(faults);
  NewProgram(dir_.path());
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ("加载完毕（1支基金未能完整加载）", main().Title());
  ASSERT_TRUE(std::filesystem::exists(Workbook(dir_.path())));
  EXPECT_EQ(19u, Kept(dir_.path()).size());
  EXPECT_EQ(0u, Kept(dir_.path()).count(failing));
  program_.reset();
  sim_->SetFaults({});
  // A kept fund whose payload was damaged counts as not kept.
  store::Cache(CacheFile(dir_.path())).SaveDetails(kToday, damaged, "[\"12.3\",\"4\"");

  // Without the cache nothing says the workbook lacks funds: it closes the day as ever.
  const std::filesystem::path cache_dir = CacheFile(dir_.path()).parent_path();
  std::filesystem::rename(cache_dir, dir_.path() / "aside");
  test_support::WriteFileBytes(cache_dir, "not a folder");
  NewProgram(dir_.path());
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ(std::vector<std::string>{"你已经下载过数据了，请勿重复下载"}, shown());
  EXPECT_EQ("8月8日0", Record());
  std::filesystem::remove(cache_dir);
  std::filesystem::rename(dir_.path() / "aside", cache_dir);

  const size_t from = sim_->requests().Count();
  NewProgram(dir_.path());
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_TRUE(shown().empty());
  EXPECT_EQ("加载完毕", main().Title());
  EXPECT_EQ("8月8日1", Record());
  ExpectAskedFor(from, {failing, damaged});
  EXPECT_EQ("", export_test::FirstDifference(CleanWorkbook(), WorkbookValues(dir_.path())));

  // Complete now: the workbook closes the day.
  NewProgram(dir_.path());
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ(std::vector<std::string>{"你已经下载过数据了，请勿重复下载"}, shown());
}

TEST_F(DownloadResumeTest, DamagedReadOnlyOrLockedCacheLeavesTheDownloadWorking) {
  StartPortal(12);
  const Values& clean = CleanWorkbook();

  // A damaged file is moved aside and a new cache started.
  const std::filesystem::path damaged = dir_.path() / "damaged";
  std::filesystem::create_directories(CacheFile(damaged).parent_path());
  test_support::WriteFileBytes(CacheFile(damaged), std::string(5000, 'z'));
  size_t from = sim_->requests().Count();
  NewProgram(damaged);
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ("加载完毕", main().Title());
  ExpectAskedFor(from, AllCodes());
  EXPECT_EQ("", export_test::FirstDifference(clean, WorkbookValues(damaged)));
  bool moved_aside = false;
  for (const std::string& name : test_support::Listing(CacheFile(damaged).parent_path())) {
    moved_aside |= name.rfind("cache.sqlite3.damaged-", 0) == 0;
  }
  EXPECT_TRUE(moved_aside);
  program_.reset();
  EXPECT_EQ(12u, Kept(damaged).size());

  // A folder the program may not write into: run as an ordinary user would run it.
  const std::filesystem::path read_only = dir_.path() / "read-only";
  std::filesystem::create_directories(CacheFile(read_only).parent_path());
  ::chmod(CacheFile(read_only).parent_path().c_str(), 0500);
  from = sim_->requests().Count();
  EXPECT_EQ(0, WaitExit(SpawnDriver(read_only, true)));
  ExpectAskedFor(from, AllCodes());
  EXPECT_EQ("", export_test::FirstDifference(clean, WorkbookValues(read_only)));
  EXPECT_FALSE(std::filesystem::exists(CacheFile(read_only)));

  // Another process holds the file's write lock throughout.
  const std::filesystem::path locked = dir_.path() / "locked";
  ASSERT_TRUE(store::Cache(CacheFile(locked)).Ready());
  {
    const test_support::WriteLockHolder holder(CacheFile(locked), "marks");
    ASSERT_TRUE(holder.Holding());
    from = sim_->requests().Count();
    NewProgram(locked);
    main().导出所有数据钮.Click();
    program_->Settle();
    EXPECT_EQ("加载完毕", main().Title());
    ExpectAskedFor(from, AllCodes());
    EXPECT_EQ("", export_test::FirstDifference(clean, WorkbookValues(locked)));
    program_.reset();
  }
  // The lock was in the way of every write.
  EXPECT_TRUE(Kept(locked).empty());
}

}  // namespace
