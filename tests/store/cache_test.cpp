// The local cache on real files: details by day beside answers and marks, a cache that is off
// when its file cannot be used or another process holds its lock, and details that survive a
// writer killed two hundred times in a file that stays sound.

#include "store/cache.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>
#include <string>

#include "store/kill_soak.h"
#include "store/nav_history_blob.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"
#include "support/write_lock_holder.h"

namespace {

constexpr char kToday[] = "2021-08-08";

TEST(CacheTest, KeepsDetailsByDayBesideAnswersAndMarksAcrossARestart) {
  test_support::TempDir dir;
  const auto path = dir.path() / "fundview" / "cache.sqlite3";
  {
    store::Cache cache(path);
    EXPECT_TRUE(cache.SaveDetails(kToday, "000001", "first"));
    EXPECT_TRUE(cache.SaveDetails(kToday, "000001", "second"));
    EXPECT_TRUE(cache.SaveDetails(kToday, "000002", "other fund"));
    EXPECT_TRUE(cache.SaveDetails("2021-08-07", "000001", "yesterday"));
    EXPECT_TRUE(cache.SaveAnswer("http://portal/a", "answer", "2021年8月8日9时", 20210808090000));
    EXPECT_TRUE(cache.SetMark("end", "2021-08-08 3"));
    EXPECT_TRUE(cache.SetMark("end", "2021-08-08 0"));
  }
  store::Cache cache(path);
  using Details = std::map<std::string, std::string>;
  EXPECT_EQ((Details{{"000001", "second"}, {"000002", "other fund"}}), cache.LoadDetails(kToday));
  EXPECT_EQ("2021-08-08 0", cache.Mark("end"));
  EXPECT_FALSE(cache.Mark("never set"));

  EXPECT_TRUE(cache.PruneDetails(kToday));
  EXPECT_TRUE(cache.LoadDetails("2021-08-07").empty());
  EXPECT_EQ(2u, cache.LoadDetails(kToday).size());
  ASSERT_TRUE(cache.LoadAnswer("http://portal/a"));
  EXPECT_EQ("answer", cache.LoadAnswer("http://portal/a")->payload);
}

TEST(CacheTest, UnusableFileOrAWriteLockHeldByAnotherProcessTurnsItOff) {
  test_support::TempDir dir;
  test_support::WriteFileBytes(dir.path() / "file", "x");
  for (const std::filesystem::path& unusable :
       {std::filesystem::path(), dir.path() / "file" / "c"}) {
    store::Cache cache(unusable);
    EXPECT_FALSE(cache.Ready()) << unusable;
    EXPECT_FALSE(cache.SaveDetails(kToday, "000001", "x"));
    EXPECT_TRUE(cache.LoadDetails(kToday).empty());
    EXPECT_FALSE(cache.Mark("end"));
  }

  const auto path = dir.path() / "cache.sqlite3";
  store::Cache cache(path);
  ASSERT_TRUE(cache.SaveDetails(kToday, "000001", "kept before"));
  {
    const test_support::WriteLockHolder holder(path, "marks");
    ASSERT_TRUE(holder.Holding());
    EXPECT_FALSE(cache.SaveDetails(kToday, "000002", "refused"));
    // Off for the rest of the run: no later call waits for the lock again.
    EXPECT_FALSE(cache.Ready());
    EXPECT_FALSE(cache.LastError().empty());
    EXPECT_TRUE(cache.LoadDetails(kToday).empty());
  }
  EXPECT_EQ((std::map<std::string, std::string>{{"000001", "kept before"}}),
            store::Cache(path).LoadDetails(kToday));
}

// Read-only means read-only: every kept value reads back, every write is refused, and a refused
// write does not turn the reading off.
TEST(CacheTest, AFileInAFolderItsUserMayNotWriteIsReadAndNeverChanged) {
  test_support::TempDir dir;
  const auto folder = dir.path() / "fundview";
  const auto path = folder / "cache.sqlite3";
  {
    store::Cache cache(path);
    ASSERT_TRUE(cache.SaveAnswer("http://portal/a", "answer", "2021年8月8日9时", 20210808090000));
    ASSERT_TRUE(cache.SaveDetails(kToday, "000001", "details"));
  }
  test_support::LetEveryoneRead(dir.path());
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::remove);
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
  const std::string before = test_support::ReadFileBytes(path);

  const int result = test_support::RunUnprivileged([&] {
    store::Cache cache(path);
    for (int round = 0; round < 2; ++round) {
      EXPECT_EQ("answer",
                cache.LoadAnswer("http://portal/a").value_or(store::Cache::Answer{}).payload);
      EXPECT_EQ(1u, cache.LoadDetails(kToday).size());
      EXPECT_FALSE(cache.SaveAnswer("http://portal/b", "x", "t", 1) ||
                   cache.SaveDetails(kToday, "000002", "x") || cache.SetMark("end", "x") ||
                   cache.PruneAnswers(20990101000000) || cache.PruneDetails("2099-01-01"));
    }
  });
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
  if (result == test_support::kCannotDropRights) GTEST_SKIP() << "root cannot become nobody here";
  EXPECT_EQ(0, result);
  EXPECT_EQ(before, test_support::ReadFileBytes(path));
  EXPECT_EQ(std::vector<std::string>{"cache.sqlite3"}, test_support::Listing(folder));
}

// Two copies of the program started at once both create the file's tables and switch it to WAL.
TEST(CacheTest, TwoProcessesStartingOnTheSameNewFileBothGetTheCache) {
  test_support::TempDir dir;
  int failed = 0;
  for (int round = 0; round < 25; ++round) {
    const auto path = dir.path() / std::to_string(round) / "cache.sqlite3";
    pid_t children[2];
    for (pid_t& child : children) {
      child = ::fork();
      if (child == 0) _exit(store::Cache(path).SetMark("started", "yes") ? 0 : 1);
    }
    for (pid_t child : children) {
      int status = 0;
      ::waitpid(child, &status, 0);
      failed += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
    }
  }
  EXPECT_EQ(0, failed);
}

// A child keeps fund details one after the other through the cache and reports each kept code
// on a pipe; it is killed with SIGKILL at a random moment.
[[noreturn]] void KeepForever(const std::filesystem::path& path, std::int64_t first, int pipe) {
  store::Cache cache(path);
  const std::string payload =
      R"(["12.34","4","45.67%","3年又120天","17.43%","23.14%","19.02%","0.03","0.49","0.61"])";
  for (std::int64_t code = first;; ++code) {
    if (!cache.SaveDetails(kToday, std::to_string(code), payload)) _exit(4);
    if (::write(pipe, &code, sizeof code) != sizeof code) _exit(5);
  }
}

// Asks SQLite itself, as a reader that leaves the file and its journal as the kill left them.
bool IntegrityOk(const std::filesystem::path& path) {
  sqlite3* handle = nullptr;
  sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* check = nullptr;
  bool ok =
      sqlite3_prepare_v2(handle, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
      sqlite3_step(check) == SQLITE_ROW &&
      std::string(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok";
  sqlite3_finalize(check);
  sqlite3_close(handle);
  return ok;
}

TEST(CacheTest, DetailsKeptBeforeAKillSurviveTwoHundredKillsInAFileThatStaysSound) {
  test_support::TempDir dir;
  const auto path = dir.path() / "cache.sqlite3";
  const std::set<std::int64_t> confirmed = store_test::KillWriters(
      200, 26, [&](std::int64_t first, int pipe) { KeepForever(path, first, pipe); },
      // The next writer opens it through the cache, which would move a damaged file aside.
      [&](int kill) { EXPECT_TRUE(IntegrityOk(path)) << kill; });
  EXPECT_EQ(std::vector<std::string>{"cache.sqlite3"}, [&] {
    std::vector<std::string> databases;
    for (const std::string& name : test_support::Listing(dir.path())) {
      if (name.find("-wal") == std::string::npos && name.find("-shm") == std::string::npos) {
        databases.push_back(name);
      }
    }
    return databases;
  }());
  const std::map<std::string, std::string> stored = store::Cache(path).LoadDetails(kToday);
  size_t missing = 0;
  for (std::int64_t code : confirmed) missing += stored.count(std::to_string(code)) == 0;
  EXPECT_EQ(0u, missing) << "of " << confirmed.size() << " confirmed";
}

// Twenty years of a fund with every kind of point, kept across a restart with its arrival time.
TEST(CacheTest, KeepsAFundsNavHistoryWithItsTimeAcrossARestart) {
  base::NavHistory history{"000001", "华夏成长混合", std::nullopt, 1000, {}};
  for (int i = 0; i < 4900; ++i) {
    base::NavPoint point;
    point.day = base::DayText(11000 + i + i / 5 * 2);
    point.unit_nav = 10000 + (i * 37 % 900) - 400;
    if (i % 97 != 5) point.accumulated_nav = 30000 + i * 3;
    if (i > 0) point.day_growth = (i * 131 % 1000) * 100 - 50000;
    if (i % 250 == 100) {
      point.dividend = 5'000'000;
      point.unit_money = "分红：每份派现金0.0500元";
    }
    if (i == 2345) {
      point.split_ratio = 102'340'000;
      point.unit_money = "拆分：每份基金份额折算1.0234份";
    }
    history.points.push_back(point);
  }
  test_support::TempDir dir;
  const auto path = dir.path() / "cache.sqlite3";
  {
    store::Cache cache(path);
    EXPECT_FALSE(cache.LoadNavHistory("000001"));
    EXPECT_TRUE(cache.SaveNavHistory("000001", {"000001", "old", 1, 1, {}}, "t", 1));
    EXPECT_TRUE(cache.SaveNavHistory("000001", history, "2021年8月20日21时", 20210820210000));
  }
  const auto kept = store::Cache(path).LoadNavHistory("000001");
  ASSERT_TRUE(kept);
  EXPECT_EQ(history, kept->history);
  EXPECT_EQ("2021年8月20日21时", kept->arrived);
  EXPECT_EQ(20210820210000, kept->stamp);
  const std::string bytes = store::EncodeNavHistory(history);
  EXPECT_LT(bytes.size(), 60'000u);
  EXPECT_FALSE(store::DecodeNavHistory(bytes.substr(0, bytes.size() - 1)));
}

TEST(CacheTest, AKeptNavHistoryIsAskedAgainOnceAWeekdayEveningAfterItsLastDayHasBegun) {
  struct Case {
    const char* last_day;
    std::int64_t fetched, now;
    bool fresh;
  } cases[] = {
      // Friday's NAV kept: fresh over the weekend and Monday until 20:00.
      {"2021-08-20", 20210820210000, 20210823195959, true},
      {"2021-08-20", 20210820210000, 20210823200000, false},
      // Thursday's NAV fetched on Friday morning: Friday's comes in the evening.
      {"2021-08-19", 20210820100000, 20210820190000, true},
      {"2021-08-19", 20210820100000, 20210820203000, false},
      // Asked after Friday's evening began (the NAV was late): not again before Monday's.
      {"2021-08-19", 20210820200500, 20210822120000, true},
      {"", 20210820200500, 20210820200600, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.fresh, store::NavHistoryFresh(c.last_day, c.fetched, c.now))
        << c.last_day << " " << c.fetched << " " << c.now;
  }
}

}  // namespace
