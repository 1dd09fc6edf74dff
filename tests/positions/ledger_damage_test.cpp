// The ledger's file damaged or locked: a copy of a real 400-record ledger cut short or
// overwritten gives back every record SQLite can still read, with one notice; a ledger in a
// folder its user may not write shows every record and refuses every change.

#include <gtest/gtest.h>

#include "positions/ledger_files.h"
#include "support/unprivileged.h"

namespace {

using positions::PositionsStore;
using positions_test::Damage;

constexpr int kRecords = 400;

// The 400-record ledger, written once for the whole program.
const std::string& LedgerBytes() {
  static const std::string bytes = [] {
    test_support::TempDir dir;
    EXPECT_EQ(kRecords, static_cast<int>(positions_test::WriteLedger(dir / "l", kRecords).size()));
    return test_support::ReadFileBytes(dir / "l");
  }();
  return bytes;
}

TEST(LedgerDamageTest, ADamagedLedgerGivesBackEveryRecordStillReadableAndSaysSoOnce) {
  for (const Damage damage : {Damage::kCutInHalf, Damage::kRandomMiddle, Damage::kRandomWhole}) {
    SCOPED_TRACE(static_cast<int>(damage));
    test_support::TempDir dir;
    const auto path = dir / "positions.sqlite3";
    test_support::WriteFileBytes(path, LedgerBytes());
    positions_test::Damaged(path, damage);
    const std::string damaged_bytes = test_support::ReadFileBytes(path);

    PositionsStore store(path);
    const std::vector<positions::Record> recovered = store.Records();
    std::filesystem::path moved;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      if (entry.path().filename().string().rfind("positions.sqlite3.damaged-", 0) == 0) {
        moved = entry.path();
      }
    }
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(damaged_bytes, test_support::ReadFileBytes(moved));
    EXPECT_EQ(positions_test::ReadableRecords(moved, kRecords), recovered);
    EXPECT_TRUE(damage != Damage::kCutInHalf || !recovered.empty());
    const std::string notice = "持仓记录文件已损坏，已恢复" + std::to_string(recovered.size()) +
                               "条记录，原文件保存为" + moved.filename().string();
    EXPECT_EQ(notice, store.DamageNotice());
    EXPECT_TRUE(store.ForgetDamageNotice());

    PositionsStore again(path);
    EXPECT_EQ(recovered, again.Records());
    EXPECT_EQ("", again.DamageNotice());
  }
}

TEST(LedgerDamageTest, ALedgerInAFolderItsUserMayNotWriteIsReadAndNeverChanged) {
  test_support::TempDir dir;
  const auto folder = dir / "fundview";
  const auto path = folder / "positions.sqlite3";
  std::vector<positions::Record> records = positions_test::WriteLedger(path, 12);
  ASSERT_TRUE(PositionsStore(path).SaveQuote("000101", {"1.5000", "2021-08-06", "0.50%"}));
  test_support::LetEveryoneRead(dir.path());
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  std::filesystem::permissions(folder,
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  const std::string before = test_support::ReadFileBytes(path);

  const int result = test_support::RunUnprivileged([&] {
    PositionsStore store(path);
    EXPECT_EQ(records, store.Records());
    EXPECT_EQ("1.5000", store.Quotes()["000101"].unit_nav);
    EXPECT_TRUE(store.ReadOnly());
    EXPECT_FALSE(store.Add(records.front()));
    EXPECT_FALSE(store.RemoveFund("000101"));
    EXPECT_FALSE(store.SaveQuote("000102", {"1", "2021-08-06", "0%"}));
    EXPECT_FALSE(store.SaveRefreshTime("x"));
    EXPECT_EQ(records, store.Records());
  });
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add);
  if (result == test_support::kCannotDropRights) GTEST_SKIP() << "root cannot become nobody here";
  EXPECT_EQ(0, result);
  EXPECT_EQ(before, test_support::ReadFileBytes(path));
  EXPECT_EQ((std::vector<std::string>{"positions.sqlite3"}), test_support::Listing(folder));
}

}  // namespace
