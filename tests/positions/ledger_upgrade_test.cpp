// A ledger written before fees and dividends (data/positions-v1.sqlite3, written by the store
// of that version: seven buys and sales of three funds, two quotes, the refresh time) opened by
// this version: copied aside first, upgraded, every record and figure as it was.

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "positions/positions_store.h"
#include "positions/store_upgrade.h"
#include "support/temp_dir.h"

namespace positions {
namespace {

// The file's version and its records' first seven columns, as SQLite itself reads them.
std::string Contents(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  std::string text;
  sqlite3_open(file.c_str(), &db);
  sqlite3_exec(
      db, "PRAGMA user_version; SELECT id, day, code, name, kind, shares, price FROM records",
      [](void* out, int n, char** values, char**) {
        while (n-- > 0) *static_cast<std::string*>(out) += std::string(*values++) + "|";
        return 0;
      },
      &text, nullptr);
  sqlite3_close(db);
  return text;
}

// A fresh copy of the old ledger, alone in its folder.
std::filesystem::path OldLedger(const test_support::TempDir& dir) {
  std::filesystem::remove_all(dir.path() / "l");
  std::filesystem::create_directory(dir.path() / "l");
  std::filesystem::copy_file(FUNDVIEW_TEST_DATA "/positions-v1.sqlite3",
                             dir.path() / "l/positions.sqlite3");
  return dir.path() / "l/positions.sqlite3";
}

TEST(LedgerUpgradeTest, AnOldLedgerIsCopiedThenUpgradedWithEveryRecordAndFigure) {
  test_support::TempDir dir;
  const auto path = OldLedger(dir);
  const std::string old = Contents(path);
  ASSERT_EQ(0u, old.rfind("1|1|2021-01-04|000001|华夏成长混合|buy|100000|12345|", 0));
  PositionsStore store(path);
  ASSERT_TRUE(store.Ready());
  EXPECT_EQ(std::to_string(PositionsStore::SchemaVersion()) + old.substr(1), Contents(path));
  EXPECT_EQ(old, Contents(BackupPath(path, 1)));  // the copy is the old file, private like it
  EXPECT_EQ(std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
            std::filesystem::status(BackupPath(path, 1)).permissions());
  EXPECT_EQ(0, store.Records()[6].fee + store.Records()[6].amount);
  EXPECT_EQ("已刷新 2021年8月8日9时5分3秒", store.RefreshTime());
  // Shares, cost, realised profit, cost price and held profit of the old arithmetic (Python,
  // exact fractions); the sold-out fund has only its realised profit.
  std::string figures;
  for (const Position& p : Replay(store.Records())) {
    const RowFigures row = FiguresOf(p, &store.Quotes()[p.code]);
    for (std::int64_t value :
         {p.shares, p.cost, p.realised, row.cost_price.value_or(0), row.held_profit.value_or(0)}) {
      figures += std::to_string(value) + " ";
    }
  }
  EXPECT_EQ("93333 116750 8232 12509 23361 40049 160244 1222 40012 12808 0 0 20000 0 0 ", figures);
  // The new kinds are kept; a file already upgraded is not copied again.
  ASSERT_TRUE(store.Add({"2021-08-02", "000001", "甲", RecordKind::kCashDividend, 0, 0, 0, 1234}));
  EXPECT_EQ(1234, PositionsStore(path).Records().back().amount);
  EXPECT_FALSE(std::filesystem::exists(BackupPath(path, 2)));
}

TEST(LedgerUpgradeTest, AKillDuringTheUpgradeLeavesTheOldOrTheNewLedgerWhole) {
  test_support::TempDir dir;
  const std::string old = Contents(OldLedger(dir));
  std::mt19937 random(31);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    const auto path = OldLedger(dir);
    const pid_t child = ::fork();
    if (child == 0) _exit(PositionsStore(path).Ready() ? 0 : 1);
    ASSERT_GT(child, 0);
    // The copy and the upgrade take some tens of milliseconds, most of it waiting for the disk.
    ::usleep(random() % 30000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // Each step of the upgrade is whole: the file is at the old version, the newest or one between;
    // a copy under its own name is whole, one cut short has only its temporary name.
    const std::string now = Contents(path);
    const int version = now.empty() ? 0 : now[0] - '0';
    EXPECT_TRUE(now.substr(1) == old.substr(1) && version >= old[0] - '0' &&
                version <= PositionsStore::SchemaVersion())
        << now;
    if (std::filesystem::exists(BackupPath(path, 1))) {
      EXPECT_EQ(old, Contents(BackupPath(path, 1)));
    }
  }
}

}  // namespace
}  // namespace positions
