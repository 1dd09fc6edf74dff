// 备份 and 恢复 of the positions window over real files: a backup restored after a change, the
// files refused with nothing changed, a ledger of an earlier version restored and upgraded.

#include "positions/backup.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <fstream>
#include <sstream>

#include "positions_fixture.h"

namespace positions_test {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Sql(const fs::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr));
  sqlite3_close(db);
}

class BackupTest : public PositionsWindowTest {
 protected:
  fs::path Documents() { return app().paths().workbook_dir; }
  fs::path Ledger() { return positions::LedgerPath(app().paths()); }
  void Buy(int fund) {
    Enter(Fund(fund).code, "100", "1.5", "2021-08-02");
    Press(window().买入钮);
  }
  fs::path Backup() {
    program_->dialogs.chosen = Documents().string();
    Press(window().备份钮);
    return Documents() / "基金账本备份-20210808-090503.sqlite3";
  }
  void RestoreFrom(const fs::path& file) {
    program_->dialogs.chosen = file.string();
    Press(window().恢复钮);
  }
  std::vector<std::string> LedgerFolder() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Ledger().parent_path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(BackupTest, ABackupRestoredAfterAChangeShowsItsPositionsAgain) {
  Open();
  Buy(0);
  const fs::path backup = Backup();
  EXPECT_EQ(0u, window().持仓状态.Caption().rfind(positions::kBackedUpText + backup.string(), 0));
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, fs::status(backup).permissions());
  EXPECT_EQ(1u, std::distance(fs::directory_iterator(Documents()), {}));  // no temporary left
  Buy(1);
  ASSERT_EQ(4, grid().RowCount());

  shown().clear();
  RestoreFrom(backup);
  ASSERT_EQ(2u, shown().size());  // the chooser's title, then the question
  EXPECT_EQ(0u, shown()[1].find(positions::kRestoreAskText));
  EXPECT_NE(std::string::npos,
            shown()[1].find("1条记录、0个定投计划、0条提醒规则，最新记录日期2021-08-02"));
  ASSERT_EQ(3, grid().RowCount());
  EXPECT_EQ(Fund(0).name, grid().Text(1, app::kPosName));
  EXPECT_EQ(1u, StoredRecords());
  // The ledger replaced is kept beside it, whole.
  const fs::path kept = Ledger().string() + ".bak-20210808-090503";
  EXPECT_EQ(2u, PositionsStore(kept).Records().size());
  Restart();
  EXPECT_EQ(1u, StoredRecords());
}

TEST_F(BackupTest, AFailedWriteLeavesNoFile) {
  Open();
  for (int i = 0; i < 3; ++i) Buy(i);
  // A file-size limit makes the copy fail after its first pages are written.
  signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  std::string error;
  const auto written = positions::WriteBackup(positions_->store(), Documents(),
                                              base::DateTime{2021, 8, 8, 9, 5, 3}, &error);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(written);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(0u, std::distance(fs::directory_iterator(Documents()), {}));
}

TEST_F(BackupTest, ADamagedForeignOrNewerFileIsRefusedWithNothingChanged) {
  Open();
  Buy(0);
  const fs::path backup = Backup();
  const std::string newer = std::to_string(PositionsStore::SchemaVersion() + 1);
  const struct {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* message;
  } cases[] = {
      {"damaged",
       [&](const fs::path& file) {
         std::string bytes = Bytes(backup);
         for (size_t i = 4096; i < bytes.size(); i += 7) bytes[i] = '\x5a';
         std::ofstream(file, std::ios::binary) << bytes;
       },
       positions::kDamagedBackupText},
      {"foreign", [](const fs::path& file) { Sql(file, "CREATE TABLE notes(text TEXT)"); },
       positions::kNotBackupText},
      {"text", [](const fs::path& file) { std::ofstream(file) << "基金代码,份额\n"; },
       positions::kNotBackupText},
      {"newer",
       [&](const fs::path& file) {
         fs::copy_file(backup, file);
         Sql(file, "PRAGMA user_version = " + newer);
       },
       positions::kNewerBackupText},
  };
  Buy(1);
  const std::vector<std::string> folder = LedgerFolder();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = Documents() / (std::string(c.name) + ".sqlite3");
    c.make(file);
    const std::string before = Bytes(file);
    shown().clear();
    RestoreFrom(file);
    EXPECT_EQ(std::vector<std::string>({"选择备份文件", c.message}), shown());
    EXPECT_EQ(2u, StoredRecords());
    EXPECT_EQ(4, grid().RowCount());
    EXPECT_EQ(folder, LedgerFolder());
    EXPECT_EQ(before, Bytes(file));
  }
}

TEST_F(BackupTest, ALedgerOfAnEarlierVersionIsUpgradedOnACopyAndRestored) {
  Open();
  const fs::path old = Documents() / "old.sqlite3";
  fs::copy_file(FUNDVIEW_TEST_DATA "/positions-v1.sqlite3", old);
  const std::string before = Bytes(old);
  RestoreFrom(old);
  ASSERT_EQ(2u, shown().size());
  EXPECT_NE(std::string::npos, shown()[1].find("7条记录")) << shown()[1];
  EXPECT_EQ(7u, StoredRecords());
  EXPECT_EQ(4, grid().RowCount());  // two funds held, the third sold out
  EXPECT_EQ(before, Bytes(old));
  // Nothing of the check is left beside the ledger.
  for (const std::string& name : LedgerFolder()) EXPECT_EQ(std::string::npos, name.find("restore"));
}

}  // namespace
}  // namespace positions_test
