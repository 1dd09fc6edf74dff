#include "store/database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <system_error>

namespace store {

namespace {

// A second copy of the program writing at the same moment waits this long before the write
// counts as failed.
constexpr int kBusyTimeoutMs = 1000;
constexpr int kLockRetryMs = 10;

std::string TimeSuffix() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// The folder is made 0700 when this creates it; one that exists keeps its mode.
bool MakeFolder(const std::filesystem::path& folder, std::string* error) {
  if (folder.empty()) return true;
  std::error_code code;
  if (std::filesystem::is_directory(folder, code)) return true;
  if (!MakeFolder(folder.parent_path(), error)) return false;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = "cannot create " + folder.string();
    return false;
  }
  return true;
}

// SQLite creates a missing file with the process umask; user data is made 0600 first.
bool CreatePrivateFile(const std::filesystem::path& path, std::string* error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  if (errno == EEXIST) return true;
  *error = "cannot create " + path.string();
  return false;
}

bool IsDamage(int code) {
  code &= 0xff;
  return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

}  // namespace

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement::Statement(Statement&& other) noexcept
    : statement_(other.statement_), failed_(other.failed_) {
  other.statement_ = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    statement_ = other.statement_;
    failed_ = other.failed_;
    other.statement_ = nullptr;
  }
  return *this;
}

Statement& Statement::Bind(int index, std::int64_t value) {
  if (!statement_ || sqlite3_bind_int64(statement_, index, value) != SQLITE_OK) failed_ = true;
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  if (!statement_ ||
      sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT) != SQLITE_OK) {
    failed_ = true;
  }
  return *this;
}

bool Statement::Step() {
  if (!statement_ || failed_) {
    failed_ = true;
    return false;
  }
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW) return true;
  if (code != SQLITE_DONE) failed_ = true;
  return false;
}

bool Statement::Run() {
  while (Step()) {
  }
  return !failed_;
}

std::int64_t Statement::Int(int column) const {
  return statement_ ? sqlite3_column_int64(statement_, column) : 0;
}

Statement& Statement::BindBytes(int index, std::string_view bytes) {
  // A zero-length BLOB, not NULL, for no bytes.
  if (!statement_ ||
      sqlite3_bind_blob(statement_, index, bytes.empty() ? "" : bytes.data(),
                        static_cast<int>(bytes.size()), SQLITE_TRANSIENT) != SQLITE_OK) {
    failed_ = true;
  }
  return *this;
}

std::string Statement::Bytes(int column) const {
  if (!statement_) return {};
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
  return bytes ? std::string(bytes, sqlite3_column_bytes(statement_, column)) : std::string();
}

std::string Statement::Text(int column) const {
  if (!statement_) return {};
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return text ? std::string(text, sqlite3_column_bytes(statement_, column)) : std::string();
}

void Statement::Reset() {
  if (!statement_) return;
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
  failed_ = false;
}

namespace {

// Opens and checks one file: `name` as SQLite takes it (a path, or a URI with SQLITE_OPEN_URI
// in `flags`). `damaged` is set when the file exists but is no sound database.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> OpenChecked(const std::string& name, int flags,
                                                        bool* damaged, std::string* error) {
  *damaged = false;
  sqlite3* raw = nullptr;
  const int code = sqlite3_open_v2(name.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> handle(raw, sqlite3_close_v2);
  if (code != SQLITE_OK) {
    *damaged = IsDamage(code);
    *error = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(code);
    return {nullptr, sqlite3_close_v2};
  }
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  sqlite3_extended_result_codes(raw, 1);
  // Reading the schema is the first touch of the file's pages: a file that is not a database
  // fails here. The quick check then reads every page once.
  sqlite3_stmt* check = nullptr;
  int result = sqlite3_prepare_v2(raw, "PRAGMA quick_check", -1, &check, nullptr);
  std::string verdict;
  if (result == SQLITE_OK) {
    result = sqlite3_step(check);
    if (result == SQLITE_ROW) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
      verdict = text ? text : "";
    }
  }
  sqlite3_finalize(check);
  if (result != SQLITE_ROW || verdict != "ok") {
    *damaged = IsDamage(result) || (result == SQLITE_ROW && verdict != "ok");
    *error = sqlite3_errmsg(raw);
    return {nullptr, sqlite3_close_v2};
  }
  return handle;
}

// Switches an open file to its journal mode; false (and `error`) when it cannot be switched.
bool SetJournalMode(sqlite3* raw, std::string* error) {
  // WAL keeps a committed transaction through a killed process and lets readers go on while
  // one writes; FULL syncs every commit, since what is stored is the user's own record.
  // A new file's switch to WAL needs the file to itself and does not wait on the busy handler
  // while another process reads it (a second copy of the program opening it at the same time).
  char* message = nullptr;
  int mode = SQLITE_BUSY;
  for (int waited = 0; waited <= kBusyTimeoutMs; waited += kLockRetryMs) {
    sqlite3_free(message);
    message = nullptr;
    mode = sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr,
                        &message);
    if ((mode & 0xff) != SQLITE_BUSY) break;
    sqlite3_sleep(kLockRetryMs);
  }
  if (mode != SQLITE_OK) {
    *error = message ? message : "cannot set the journal mode";
    sqlite3_free(message);
    return false;
  }
  return true;
}

void MoveAside(const std::filesystem::path& path, std::filesystem::path* moved_to) {
  std::filesystem::path target = path;
  target += ".damaged-" + TimeSuffix();
  std::error_code code;
  std::filesystem::rename(path, target, code);
  if (code) return;
  *moved_to = target;
  // The journal files belong to the damaged file: left in place they would be replayed into
  // the new one. The log may hold commits the file lacks, so it goes with the file; the
  // shared-memory index is rebuilt from the log by whoever opens the pair.
  std::filesystem::path log = path;
  std::filesystem::path log_target = target;
  std::filesystem::rename(log += "-wal", log_target += "-wal", code);
  std::filesystem::path index = path;
  std::filesystem::remove(index += "-shm", code);
}

// The user may change the file, and create and remove the journal files beside it.
bool Writable(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 &&
         ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The file as an SQLite URI that promises it will not change: read without locks and without
// the write-ahead log's shared-memory file, which a read-only folder cannot hold.
std::string ImmutableUri(const std::filesystem::path& path) {
  std::string uri = "file:";
  for (const char c : std::filesystem::absolute(path).string()) {
    if (c == '%' || c == '?' || c == '#') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      uri += escaped;
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

}  // namespace

OpenResult Database::Open(const std::filesystem::path& path, const Migrations& migrations) {
  OpenResult result;
  if (!MakeFolder(path.parent_path(), &result.error)) return result;
  std::error_code exists_error;
  if (std::filesystem::exists(path, exists_error) && !Writable(path)) {
    return OpenReadOnly(path, migrations);
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!CreatePrivateFile(path, &result.error)) return result;
    bool damaged = false;
    auto handle = OpenChecked(path.string(), SQLITE_OPEN_READWRITE, &damaged, &result.error);
    if (handle && !SetJournalMode(handle.get(), &result.error)) handle.reset();
    if (!handle) {
      if (!damaged || attempt > 0) return result;
      MoveAside(path, &result.moved_aside);
      if (result.moved_aside.empty()) return result;
      continue;
    }
    std::unique_ptr<Database> database(new Database(handle.release(), false));
    const int version = database->UserVersion();
    if (version < 0 || version > static_cast<int>(migrations.size())) {
      result.error = "unknown schema version";
      return result;
    }
    for (size_t next = static_cast<size_t>(version); next < migrations.size(); ++next) {
      Transaction transaction(*database);
      // Another process opening the same new file may have taken this step since the version
      // was read; the version read under the write lock tells.
      if (transaction.Active() && database->UserVersion() > static_cast<int>(next)) continue;
      if (!transaction.Active() || !database->Execute(migrations[next]) ||
          !database->Execute("PRAGMA user_version=" + std::to_string(next + 1)) ||
          !transaction.Commit()) {
        result.error = database->LastError();
        return result;
      }
    }
    result.database = std::move(database);
    result.error.clear();
    return result;
  }
  return result;
}

OpenResult Database::OpenReadOnly(const std::filesystem::path& path, const Migrations& migrations) {
  OpenResult result;
  result.read_only = true;
  // A plain read-only open sees another process's commits; it needs the shared-memory file of
  // a file in write-ahead-log mode, which only the immutable open does without.
  for (const std::string& name : {path.string(), ImmutableUri(path)}) {
    bool damaged = false;
    const int flags = SQLITE_OPEN_READONLY | (name == path.string() ? 0 : SQLITE_OPEN_URI);
    auto handle = OpenChecked(name, flags, &damaged, &result.error);
    if (!handle) {
      if (damaged) return result;  // a damaged file it may not move aside is left alone
      continue;
    }
    std::unique_ptr<Database> database(new Database(handle.release(), true));
    // Nothing can be migrated: only the newest version can be read as the program reads it.
    if (database->UserVersion() != static_cast<int>(migrations.size())) {
      result.error = "cannot migrate a read-only file";
      return result;
    }
    result.database = std::move(database);
    result.error.clear();
    return result;
  }
  return result;
}

Database::~Database() { sqlite3_close_v2(handle_); }

void Database::NoteError() { last_error_ = sqlite3_errmsg(handle_); }

Statement Database::Prepare(std::string_view sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) !=
      SQLITE_OK) {
    NoteError();
    sqlite3_finalize(statement);
    Statement failed;
    failed.failed_ = true;
    return failed;
  }
  return Statement(statement);
}

bool Database::Execute(std::string_view sql) {
  const std::string text(sql);
  char* message = nullptr;
  if (sqlite3_exec(handle_, text.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
  last_error_ = message ? message : sqlite3_errmsg(handle_);
  sqlite3_free(message);
  return false;
}

int Database::UserVersion() {
  Statement statement = Prepare("PRAGMA user_version");
  return statement.Step() ? static_cast<int>(statement.Int(0)) : -1;
}

bool Database::IntegrityOk() {
  Statement statement = Prepare("PRAGMA integrity_check");
  return statement.Step() && statement.Text(0) == "ok";
}

std::int64_t Database::LastInsertId() const { return sqlite3_last_insert_rowid(handle_); }

Transaction::Transaction(Database& database) : database_(database) {
  active_ = database_.Execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (active_) database_.Execute("ROLLBACK");
}

bool Transaction::Commit() {
  if (!active_) return false;
  if (!database_.Execute("COMMIT")) return false;  // the destructor rolls back
  active_ = false;
  return true;
}

}  // namespace store
