// The store library on real files: migrations, modes, a damaged or unusable file, and records
// that survive a writer killed at any moment.

#include "store/database.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <set>

#include "store/kill_soak.h"
#include "support/temp_dir.h"

namespace {

const store::Migrations kTwoSteps = {
    "CREATE TABLE items(id INTEGER PRIMARY KEY, text TEXT NOT NULL);",
    "ALTER TABLE items ADD COLUMN extra TEXT NOT NULL DEFAULT 'x';",
};

int Mode(const std::filesystem::path& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 0777;
}

TEST(DatabaseTest, OpensPrivatelyAndMigratesForward) {
  test_support::TempDir dir;
  const auto path = dir.path() / "data" / "fundview" / "a.sqlite3";
  {
    store::OpenResult opened = store::Database::Open(path, {kTwoSteps[0]});
    ASSERT_TRUE(opened.database) << opened.error;
    EXPECT_EQ(1, opened.database->UserVersion());
    store::Transaction transaction(*opened.database);
    ASSERT_TRUE(opened.database->Prepare("INSERT INTO items(text) VALUES(?)").Bind(1, "one").Run());
    ASSERT_TRUE(transaction.Commit());
    store::Transaction dropped(*opened.database);
    ASSERT_TRUE(opened.database->Execute("INSERT INTO items(text) VALUES('two')"));
  }  // rolled back
  EXPECT_EQ(0700, Mode(path.parent_path()));
  EXPECT_EQ(0600, Mode(path));

  store::OpenResult opened = store::Database::Open(path, kTwoSteps);
  ASSERT_TRUE(opened.database) << opened.error;
  EXPECT_EQ(2, opened.database->UserVersion());
  store::Statement select = opened.database->Prepare("SELECT text, extra FROM items");
  ASSERT_TRUE(select.Step());
  EXPECT_EQ("one", select.Text(0));
  EXPECT_EQ("x", select.Text(1));
  EXPECT_FALSE(select.Step());
  EXPECT_FALSE(select.Failed());
  EXPECT_EQ("journal_mode=wal", [&] {
    store::Statement mode = opened.database->Prepare("PRAGMA journal_mode");
    return mode.Step() ? "journal_mode=" + mode.Text(0) : std::string();
  }());
  opened.database.reset();
  // A program that knows fewer versions leaves the newer file alone.
  EXPECT_FALSE(store::Database::Open(path, {kTwoSteps[0]}).database);
}

TEST(DatabaseTest, DamagedFileIsMovedAsideAndUnusablePathGivesNothing) {
  test_support::TempDir dir;
  const auto path = dir.path() / "b.sqlite3";
  std::ofstream(path) << std::string(10000, 'z');
  store::OpenResult opened = store::Database::Open(path, kTwoSteps);
  ASSERT_TRUE(opened.database) << opened.error;
  EXPECT_EQ(2, opened.database->UserVersion());
  ASSERT_FALSE(opened.moved_aside.empty());
  EXPECT_EQ(0u, opened.moved_aside.filename().string().rfind("b.sqlite3.damaged-", 0));
  EXPECT_EQ(10000u, std::filesystem::file_size(opened.moved_aside));

  std::ofstream(dir.path() / "file") << "x";
  EXPECT_FALSE(store::Database::Open(dir.path() / "file" / "c.sqlite3", kTwoSteps).database);
  std::filesystem::create_directories(dir.path() / "d.sqlite3");
  EXPECT_FALSE(store::Database::Open(dir.path() / "d.sqlite3", kTwoSteps).database);
}

// A child writes numbered records, one transaction each, and reports each commit on a pipe;
// it is killed with SIGKILL at a random moment. Every reported record must be there.
[[noreturn]] void WriteForever(const std::filesystem::path& path, std::int64_t first, int pipe) {
  auto database = store::Database::Open(path, kTwoSteps).database;
  if (!database) _exit(3);
  const std::string payload(700, 'p');
  for (std::int64_t id = first;; ++id) {
    store::Transaction transaction(*database);
    if (!database->Prepare("INSERT INTO items(id, text) VALUES(?, ?)")
             .Bind(1, id)
             .Bind(2, payload)
             .Run() ||
        !transaction.Commit()) {
      _exit(4);
    }
    if (::write(pipe, &id, sizeof id) != sizeof id) _exit(5);
  }
}

TEST(DatabaseTest, RecordsConfirmedBeforeAKillSurviveTwoHundredKills) {
  test_support::TempDir dir;
  const auto path = dir.path() / "soak.sqlite3";
  const std::set<std::int64_t> confirmed = store_test::KillWriters(
      200, 24, [&](std::int64_t first, int pipe) { WriteForever(path, first, pipe); }, {});
  store::OpenResult opened = store::Database::Open(path, kTwoSteps);
  ASSERT_TRUE(opened.database) << opened.error;
  EXPECT_TRUE(opened.moved_aside.empty());
  EXPECT_TRUE(opened.database->IntegrityOk());
  std::set<std::int64_t> stored;
  store::Statement select = opened.database->Prepare("SELECT id FROM items");
  while (select.Step()) stored.insert(select.Int(0));
  size_t missing = 0;
  for (std::int64_t id : confirmed) missing += stored.count(id) == 0;
  EXPECT_EQ(0u, missing) << "of " << confirmed.size() << " confirmed";
  RecordProperty("confirmed", static_cast<int>(confirmed.size()));
}

}  // namespace
