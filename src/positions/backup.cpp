#include "positions/backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "app/load.h"
#include "base/text.h"
#include "positions/trading.h"

namespace positions {

namespace {

std::string TwoDigits(int n) {
  return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10);
}

bool SyncPath(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

// A private copy of `from` at `to`, which must not exist yet, on disk when it returns true.
bool CopyPrivately(const std::filesystem::path& from, const std::filesystem::path& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  bool copied = out >= 0;
  char buffer[1 << 16];
  while (copied) {
    const ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got <= 0) {
      copied = got == 0;
      break;
    }
    for (ssize_t put = 0; copied && put < got;) {
      const ssize_t n = ::write(out, buffer + put, static_cast<size_t>(got - put));
      copied = n > 0;
      put += n;
    }
  }
  copied = copied && ::fsync(out) == 0;
  if (out >= 0) ::close(out);
  ::close(in);
  return copied;
}

bool StartsLikeSqlite(const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char head[16] = {};
  const bool read = std::fread(head, 1, sizeof head, file) == sizeof head;
  std::fclose(file);
  return read && std::memcmp(head, "SQLite format 3", 16) == 0;
}

// A read-only connection to a copy no one else uses: immutable, so that no lock is taken and
// no log file is looked for or made beside it.
class CopyReader {
 public:
  explicit CopyReader(const std::filesystem::path& path) {
    std::string uri = "file:";
    for (unsigned char c : path.string()) {
      if (std::isalnum(c) || std::strchr("/._-~", c)) {
        uri += static_cast<char>(c);
      } else {
        static constexpr char kHex[] = "0123456789ABCDEF";
        uri += {'%', kHex[c >> 4], kHex[c & 15]};
      }
    }
    uri += "?immutable=1";
    if (sqlite3_open_v2(uri.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
      sqlite3_close(db_);
      db_ = nullptr;
    }
  }
  ~CopyReader() { sqlite3_close(db_); }
  CopyReader(const CopyReader&) = delete;
  CopyReader& operator=(const CopyReader&) = delete;

  // The rows of `sql`, each column as text (NULL as empty); nothing when it fails.
  std::optional<std::vector<std::vector<std::string>>> Rows(const char* sql) {
    if (!db_) return std::nullopt;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) return std::nullopt;
    std::vector<std::vector<std::string>> rows;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
      std::vector<std::string>& row = rows.emplace_back();
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        const auto* text = sqlite3_column_text(statement, i);
        row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
      }
    }
    sqlite3_finalize(statement);
    if (step != SQLITE_DONE) return std::nullopt;
    return rows;
  }
  // The first column of the first row, empty when there is none.
  std::string Value(const char* sql) {
    const auto rows = Rows(sql);
    return rows && !rows->empty() && !rows->front().empty() ? rows->front().front() : "";
  }

 private:
  sqlite3* db_ = nullptr;
};

// The tables, indexes and triggers of a file with the statements that made them.
using Schema = std::set<std::string>;

std::optional<Schema> SchemaOf(CopyReader& reader) {
  const auto rows = reader.Rows(
      "SELECT type || '|' || name || '|' || coalesce(sql, '') FROM sqlite_master"
      " WHERE name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
  if (!rows) return std::nullopt;
  Schema schema;
  for (const auto& row : *rows) schema.insert(row.front());
  return schema;
}

// The schema of a new ledger of this program, made in `folder`.
std::optional<Schema> NewLedgerSchema(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / "new.sqlite3";
  {
    PositionsStore store(path);
    if (!store.Ready()) return std::nullopt;
  }
  CopyReader reader(path);
  return SchemaOf(reader);
}

std::int64_t Count(CopyReader& reader, const char* sql) {
  return std::strtoll(reader.Value(sql).c_str(), nullptr, 10);
}

}  // namespace

std::string StampText(const base::DateTime& when) {
  return base::IntToText(when.year) + TwoDigits(when.month) + TwoDigits(when.day) + "-" +
         TwoDigits(when.hour) + TwoDigits(when.minute) + TwoDigits(when.second);
}

std::string BackupFileName(const base::DateTime& when) {
  return kBackupPrefix + StampText(when) + ".sqlite3";
}

std::optional<std::filesystem::path> WriteBackup(PositionsStore& store,
                                                 const std::filesystem::path& folder,
                                                 const base::DateTime& when, std::string* error) {
  const std::filesystem::path target = folder / BackupFileName(when);
  // Made by mkstemp: private from its first byte, and a name no one else has.
  std::string temp = (folder / ("." + BackupFileName(when) + ".tmp-XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    *error = std::strerror(errno);
    return std::nullopt;
  }
  ::close(fd);
  // One statement reads the file at one moment: the copy is consistent however it is used.
  std::string why = "无法打开持仓记录文件";
  bool written = store.Use([&](store::Database& database) {
    if (database.Prepare("VACUUM INTO ?").Bind(1, temp).Run()) return true;
    why = database.LastError().empty() ? "无法写入备份文件" : database.LastError();
    return false;
  });
  if (written && !SyncPath(temp)) {
    written = false;
    why = std::strerror(errno);
  }
  std::error_code failed;
  if (written) {
    std::filesystem::rename(temp, target, failed);
    written = !failed;
    if (failed) why = failed.message();
  }
  if (!written) {
    std::filesystem::remove(temp, failed);
    *error = why;
    return std::nullopt;
  }
  SyncPath(folder);
  return target;
}

CheckedBackup::~CheckedBackup() {
  std::error_code error;
  std::filesystem::remove_all(folder_, error);
}

std::unique_ptr<CheckedBackup> CheckBackup(const std::filesystem::path& backup,
                                           const std::filesystem::path& ledger,
                                           std::string* error) {
  // A folder of its own beside the ledger, so that the checked copy is renamed into place.
  std::string folder = ledger.string() + ".restore-XXXXXX";
  if (ledger.empty() || !::mkdtemp(folder.data())) {
    *error = kRestoreFailedText;
    return nullptr;
  }
  auto checked = std::make_unique<CheckedBackup>(folder);
  const std::filesystem::path copy = checked->File();
  if (!CopyPrivately(backup, copy)) {
    *error = kUnreadableBackupText;
    return nullptr;
  }
  if (!StartsLikeSqlite(copy)) {
    *error = kNotBackupText;
    return nullptr;
  }
  int version = 0;
  {
    CopyReader reader(copy);
    const auto integrity = reader.Rows("PRAGMA integrity_check");
    if (!integrity || integrity->size() != 1 || integrity->front().front() != "ok") {
      *error = kDamagedBackupText;
      return nullptr;
    }
    version = static_cast<int>(Count(reader, "PRAGMA user_version"));
    const std::string ledger_tables = reader.Value(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('records', 'meta')");
    if (version < 1 || ledger_tables != "2") {
      *error = kNotBackupText;
      return nullptr;
    }
    if (version > PositionsStore::SchemaVersion()) {
      *error = kNewerBackupText;
      return nullptr;
    }
  }
  if (version < PositionsStore::SchemaVersion()) {
    PositionsStore upgraded(copy);
    if (!upgraded.Ready()) {
      *error = kNotBackupText;
      return nullptr;
    }
  }
  // What the upgrade left beside the copy (the copy of the old version) goes.
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    if (entry.path() != copy) std::filesystem::remove(entry.path(), ignored);
  }
  // Of this program: the very tables, indexes and columns a new ledger has.
  const std::optional<Schema> expected = NewLedgerSchema(folder);
  CopyReader reader(copy);
  const std::optional<Schema> schema = SchemaOf(reader);
  if (!expected || !schema || *expected != *schema) {
    *error = expected ? kNotBackupText : kRestoreFailedText;
    return nullptr;
  }
  BackupContents& contents = checked->contents;
  for (const std::string& entry : *schema) {
    if (entry.starts_with("table|accounts|")) {
      contents.accounts = Count(reader, "SELECT count(*) FROM accounts");
    }
  }
  contents.records = Count(reader, "SELECT count(*) FROM records");
  contents.plans = Count(reader, "SELECT count(*) FROM plans");
  contents.rules = Count(reader, "SELECT count(*) FROM alert_rules");
  contents.newest_day = reader.Value("SELECT max(day) FROM records");
  return checked;
}

std::string RestoreQuestion(const BackupContents& contents) {
  std::string text = std::string(kRestoreAskText) + "。备份中有";
  if (contents.accounts) text += base::IntToText(*contents.accounts) + "个账户、";
  text += base::IntToText(contents.records) + "条记录、" + base::IntToText(contents.plans) +
          "个定投计划、" + base::IntToText(contents.rules) + "条提醒规则";
  if (!contents.newest_day.empty()) text += "，最新记录日期" + contents.newest_day;
  return text + "。当前的记录将保存在原文件旁。确定恢复吗？";
}

std::optional<std::filesystem::path> Restore(PositionsStore& store, CheckedBackup& checked,
                                             const base::DateTime& when) {
  std::filesystem::path kept = store.Path();
  kept += ".bak-" + StampText(when);
  if (!SyncPath(checked.File()) || !store.ReplaceWith(checked.File(), kept)) return std::nullopt;
  return kept;
}

namespace {

struct BackupDone {
  std::optional<std::filesystem::path> path;
  std::string error;
};

struct RestoreChecked {
  std::shared_ptr<CheckedBackup> backup;
  std::string error;
};

void OnBackup(app::App& app, State& state) {
  const std::string folder =
      app.dialogs().ChooseFolder("选择备份位置", app.paths().workbook_dir.string());
  if (folder.empty()) return;
  const base::DateTime when = app.clock().Now();
  app::StartLoad(
      app, app.loads().Current(app::LoadTarget::kPositions),
      [&state, folder, when] {
        BackupDone done;
        done.path = WriteBackup(state.store, folder, when, &done.error);
        return done;
      },
      [&app, &state](const BackupDone& done) {
        state.progress =
            done.path ? kBackedUpText + done.path->string() : kBackupFailedText + done.error;
        ShowStatus(app, state);
        if (!done.path) app.dialogs().MessageBox(state.progress);
      });
}

void OnRestore(app::App& app, State& state) {
  const std::string file = app.dialogs().ChooseFile(
      "选择备份文件", app.paths().workbook_dir.string(), "账本备份 (*.sqlite3);;所有文件 (*)");
  if (file.empty()) return;
  const std::filesystem::path ledger = state.store.Path();
  // An overtaken check (a newer refresh, the window closed) removes its copy and changes nothing.
  app::StartLoad(
      app, app.loads().Current(app::LoadTarget::kPositions),
      [file, ledger] {
        RestoreChecked checked;
        checked.backup = CheckBackup(file, ledger, &checked.error);
        return checked;
      },
      [&app, &state](const RestoreChecked& checked) {
        if (!checked.backup) {
          app.dialogs().MessageBox(checked.error);
          return;
        }
        if (!app.dialogs().AskYesNo(RestoreQuestion(checked.backup->contents))) return;
        const auto kept = Restore(state.store, *checked.backup, app.clock().Now());
        if (!kept) {
          app.dialogs().MessageBox(kRestoreFailedText);
          return;
        }
        state.quotes = state.store.Quotes();
        state.progress = kRestoredText + kept->filename().string();
        AfterWrite(app, state);
        ShowStatus(app, state);
      });
}

}  // namespace

void InstallBackup(app::App& app, State& state) {
  app.positions_window().备份钮.on_click = [&app, &state] { OnBackup(app, state); };
  app.positions_window().恢复钮.on_click = [&app, &state] { OnRestore(app, state); };
}

}  // namespace positions
