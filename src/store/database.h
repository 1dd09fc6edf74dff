#pragma once

// A small wrapper around one SQLite connection: open with a schema version kept in
// PRAGMA user_version and forward migrations, prepared statements and transactions, in WAL
// journal mode. A connection belongs to the thread that uses it; threads that write open their
// own.
//
// The store never stops the program: Open gives nothing when the file cannot be opened, and
// every write reports failure instead of throwing. A damaged file is moved aside as
// `<name>.damaged-<time>` and a new one started. A file its user may not change (a read-only
// file, folder or mount, an immutable file) is opened read-only: it reads as it stands and
// every write fails.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class Database;

class Statement {
 public:
  Statement() = default;
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // False when the text did not compile; every later call then fails too.
  bool Valid() const { return statement_ != nullptr; }
  // Parameters count from 1.
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, std::string_view text);
  // Bytes kept as they are (a BLOB), not as text.
  Statement& BindBytes(int index, std::string_view bytes);
  // Moves to the next row: true while a row stands; false at the end and on failure (Failed
  // tells them apart).
  bool Step();
  bool Failed() const { return failed_; }
  // Runs the statement to its end; true when every step succeeded.
  bool Run();
  // Columns of the current row count from 0.
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  // A BLOB column's bytes (a text column's bytes as well).
  std::string Bytes(int column) const;
  // Ready to run again with new parameters.
  void Reset();

 private:
  friend class Database;
  explicit Statement(sqlite3_stmt* statement) : statement_(statement) {}
  sqlite3_stmt* statement_ = nullptr;
  bool failed_ = false;
};

// A migration brings the schema from version n to n + 1 (migrations[n]); each runs in its own
// transaction together with the new version number.
using Migrations = std::vector<std::string>;

struct OpenResult {
  std::unique_ptr<Database> database;  // null when the file could not be used
  std::string error;                   // why, when it could not
  std::filesystem::path moved_aside;   // where a damaged file went, when one was found
  bool read_only = false;              // the file could only be opened for reading
};

class Database {
 public:
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens or creates the file at `path` (its folder is created 0700, a new file 0600) and
  // migrates it to the newest version. A file that is not a database or fails its quick check
  // is renamed to `<name>.damaged-<YYYYMMDD-HHMMSS>` and a new one started. A file of a newer
  // schema than `migrations` knows is left alone (nothing is given). A file that exists but may
  // not be written, or whose folder may not be written (where the write-ahead log's files
  // live), is opened read-only when it is sound and of the newest version, else not at all.
  static OpenResult Open(const std::filesystem::path& path, const Migrations& migrations);

  Statement Prepare(std::string_view sql);
  // Runs one or more statements without results; true on success.
  bool Execute(std::string_view sql);
  int UserVersion();
  // PRAGMA integrity_check answered "ok".
  bool IntegrityOk();
  const std::string& LastError() const { return last_error_; }
  // Opened for reading only: every write fails.
  bool ReadOnly() const { return read_only_; }
  std::int64_t LastInsertId() const;

 private:
  friend class Transaction;
  Database(sqlite3* handle, bool read_only) : handle_(handle), read_only_(read_only) {}
  static OpenResult OpenReadOnly(const std::filesystem::path& path, const Migrations& migrations);
  void NoteError();
  sqlite3* handle_ = nullptr;
  bool read_only_ = false;
  std::string last_error_;
};

// BEGIN IMMEDIATE at construction; rolls back at destruction unless committed.
class Transaction {
 public:
  explicit Transaction(Database& database);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // False when the transaction could not begin; nothing inside it can then be kept.
  bool Active() const { return active_; }
  // True when everything inside is on disk.
  bool Commit();

 private:
  Database& database_;
  bool active_ = false;
};

}  // namespace store
