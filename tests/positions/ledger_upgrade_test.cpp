// A ledger written before fees and dividends (data/positions-v1.sqlite3, written by the store
// of that version: seven buys and sales of three funds, two quotes, the refresh time) opened by
// this version: copied aside first, upgraded, every record and figure as it was.

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "positions/positions_store.h"
#include "positions/store_upgrade.h"
#include "support/temp_dir.h"

namespace positions {
namespace {

const std::filesystem::path kOldLedger =
    std::filesystem::path(FUNDVIEW_TEST_DATA) / "positions-v1.sqlite3";

// The file's version and its records' first seven columns, read by SQLite itself.
std::pair<int, std::string> Contents(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  std::pair<int, std::string> contents{-1, ""};
  if (sqlite3_open(file.c_str(), &db) == SQLITE_OK) {
    const auto collect = [](void* out, int columns, char** values, char**) {
      auto* text = static_cast<std::string*>(out);
      for (int i = 0; i < columns; ++i) *text += std::string(values[i] ? values[i] : "") + "|";
      *text += "\n";
      return 0;
    };
    sqlite3_exec(db, "PRAGMA user_version", collect, &contents.second, nullptr);
    contents.first = std::stoi(contents.second.empty() ? "-1" : contents.second);
    contents.second.clear();
    sqlite3_exec(db, "SELECT id, day, code, name, kind, shares, price FROM records ORDER BY id",
                 collect, &contents.second, nullptr);
  }
  sqlite3_close(db);
  return contents;
}

class LedgerUpgradeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(kOldLedger, path_);
    old_ = Contents(path_);
    ASSERT_EQ(1, old_.first);
  }
  test_support::TempDir dir_;
  std::filesystem::path path_ = dir_.path() / "positions.sqlite3";
  std::pair<int, std::string> old_;
};

TEST_F(LedgerUpgradeTest, AnOldLedgerIsCopiedThenUpgradedWithEveryRecordAndFigure) {
  PositionsStore store(path_);
  ASSERT_TRUE(store.Ready());
  EXPECT_EQ((std::pair{PositionsStore::SchemaVersion(), old_.second}), Contents(path_));
  const std::vector<Record> records = store.Records();
  ASSERT_EQ(7u, records.size());
  EXPECT_EQ((Record{"2021-01-04", "000001", "华夏成长混合", RecordKind::kBuy, 100000, 12345, 0, 0}),
            records[0]);
  EXPECT_EQ("1.5012", store.Quotes()["000001"].unit_nav);
  EXPECT_EQ("已刷新 2021年8月8日9时5分3秒", store.RefreshTime());
  // The figures of the old arithmetic (Python, exact fractions): shares, cost, realised, cost
  // price and held profit.
  const std::vector<Position> positions = Replay(records);
  ASSERT_EQ(3u, positions.size());
  const std::int64_t expected[][5] = {
      {93333, 116750, 8232, 12509, 23361}, {40049, 160244, 1222, 40012, 12808}, {0, 0, 20000}};
  for (size_t i = 0; i < 3; ++i) {
    const Position& p = positions[i];
    const RowFigures figures = FiguresOf(p, &store.Quotes()[p.code]);
    const std::int64_t got[] = {p.shares, p.cost, p.realised, figures.cost_price.value_or(0),
                                figures.held_profit.value_or(0)};
    EXPECT_EQ(std::vector<std::int64_t>(expected[i], expected[i] + 5),
              std::vector<std::int64_t>(got, got + 5))
        << p.code;
  }

  // The copy: the old file as it was, private like it.
  const std::filesystem::path backup = dir_.path() / "positions.sqlite3.bak-v1";
  EXPECT_EQ(old_, Contents(backup));
  struct stat info {};
  ASSERT_EQ(0, ::stat(backup.c_str(), &info));
  EXPECT_EQ(0600u, info.st_mode & 0777);
  // The new kinds are kept; a file already upgraded is not copied again.
  ASSERT_TRUE(store.Add(
      {"2021-08-02", "000001", "华夏成长混合", RecordKind::kCashDividend, 0, 0, 0, 1234}));
  EXPECT_EQ(1234, PositionsStore(path_).Records().back().amount);
  int copies = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    copies += entry.path().filename().string().find(".bak-v") != std::string::npos;
  }
  EXPECT_EQ(1, copies);
}

TEST_F(LedgerUpgradeTest, AKillDuringTheUpgradeLeavesTheOldOrTheNewLedgerWhole) {
  std::mt19937 random(31);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      std::filesystem::remove(entry.path());
    }
    std::filesystem::copy_file(kOldLedger, path_);
    const pid_t child = ::fork();
    if (child == 0) _exit(PositionsStore(path_).Ready() ? 0 : 1);
    ASSERT_GT(child, 0);
    // The copy and the upgrade take some tens of milliseconds, most of it waiting for the disk.
    ::usleep(random() % 30000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const auto [version, records] = Contents(path_);
    EXPECT_TRUE(version == 1 || version == PositionsStore::SchemaVersion()) << version;
    EXPECT_EQ(old_.second, records);
    // A copy under its own name is whole; one cut short has only its temporary name.
    const std::filesystem::path backup = BackupPath(path_, 1);
    if (std::filesystem::exists(backup)) {
      EXPECT_EQ(old_, Contents(backup));
    }
  }
}

}  // namespace
}  // namespace positions
