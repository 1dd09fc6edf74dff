#include "positions/positions_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/text.h"
#include "positions/store_rows.h"
#include "positions/store_upgrade.h"
#include "store/salvage.h"

namespace positions {

namespace {

using namespace store_rows;

const store::Migrations kMigrations = {
    "CREATE TABLE records(id INTEGER PRIMARY KEY, day TEXT NOT NULL, code TEXT NOT NULL,"
    " name TEXT NOT NULL, kind TEXT NOT NULL CHECK(kind IN ('buy', 'sell')),"
    " shares INTEGER NOT NULL, price INTEGER NOT NULL);"
    "CREATE TABLE quotes(code TEXT PRIMARY KEY, unit_nav TEXT NOT NULL, nav_date TEXT NOT NULL,"
    " day_change TEXT NOT NULL);"
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);",
    // Fees and the two kinds of dividend. The kinds a record may have are the table's own
    // check, so the table is made anew and every record copied over, ids kept.
    "CREATE TABLE records_v2(id INTEGER PRIMARY KEY, day TEXT NOT NULL, code TEXT NOT NULL,"
    " name TEXT NOT NULL,"
    " kind TEXT NOT NULL CHECK(kind IN ('buy', 'sell', 'cash', 'reinvest')),"
    " shares INTEGER NOT NULL, price INTEGER NOT NULL, fee INTEGER NOT NULL DEFAULT 0,"
    " amount INTEGER NOT NULL DEFAULT 0);"
    "INSERT INTO records_v2(id, day, code, name, kind, shares, price)"
    " SELECT id, day, code, name, kind, shares, price FROM records;"
    "DROP TABLE records;"
    "ALTER TABLE records_v2 RENAME TO records;",
    // Alert rules as the user typed them, the figure and NAV date their last check gave, and
    // every NAV date each rule has fired for.
    "CREATE TABLE alert_rules(id INTEGER PRIMARY KEY, code TEXT NOT NULL, name TEXT NOT NULL,"
    " condition TEXT NOT NULL, threshold TEXT NOT NULL, latest TEXT NOT NULL DEFAULT '',"
    " nav_date TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE alert_told(rule INTEGER NOT NULL, nav_date TEXT NOT NULL, told_at TEXT NOT NULL,"
    " PRIMARY KEY(rule, nav_date));",
    // Splits, the records the program makes from a fund's history and those of 定投 plans; the
    // trades waiting for their NAV; the plans; the program's records the user deleted; each
    // fund's 分红方式; the accounts, every record, trade and plan in one ("默认账户" for those
    // there were). The records table is made anew for its kinds, ids kept.
    "CREATE TABLE records_v4(id INTEGER PRIMARY KEY, day TEXT NOT NULL, code TEXT NOT NULL,"
    " name TEXT NOT NULL,"
    " kind TEXT NOT NULL CHECK(kind IN ('buy', 'sell', 'cash', 'reinvest', 'split')),"
    " shares INTEGER NOT NULL, price INTEGER NOT NULL, fee INTEGER NOT NULL DEFAULT 0,"
    " amount INTEGER NOT NULL DEFAULT 0, ratio INTEGER NOT NULL DEFAULT 0,"
    " from_history INTEGER NOT NULL DEFAULT 0, plan INTEGER NOT NULL DEFAULT 0,"
    " period TEXT NOT NULL DEFAULT '', account INTEGER NOT NULL DEFAULT 1);"
    "INSERT INTO records_v4(id, day, code, name, kind, shares, price, fee, amount)"
    " SELECT id, day, code, name, kind, shares, price, fee, amount FROM records;"
    "DROP TABLE records;"
    "ALTER TABLE records_v4 RENAME TO records;"
    "CREATE TABLE trades(id INTEGER PRIMARY KEY, day TEXT NOT NULL, code TEXT NOT NULL,"
    " name TEXT NOT NULL, sell INTEGER NOT NULL, amount INTEGER NOT NULL,"
    " shares INTEGER NOT NULL, fee_rate INTEGER NOT NULL, after_close INTEGER NOT NULL,"
    " plan INTEGER NOT NULL DEFAULT 0, period TEXT NOT NULL DEFAULT '',"
    " message TEXT NOT NULL DEFAULT '', account INTEGER NOT NULL DEFAULT 1);"
    "CREATE TABLE plans(id INTEGER PRIMARY KEY, code TEXT NOT NULL, name TEXT NOT NULL,"
    " amount INTEGER NOT NULL, fee_rate INTEGER NOT NULL, cycle INTEGER NOT NULL,"
    " day INTEGER NOT NULL, start TEXT NOT NULL, end_day TEXT NOT NULL, paused INTEGER NOT NULL,"
    " made_through TEXT NOT NULL DEFAULT '', account INTEGER NOT NULL DEFAULT 1);"
    "CREATE TABLE removed(code TEXT NOT NULL, day TEXT NOT NULL, kind TEXT NOT NULL,"
    " account INTEGER NOT NULL DEFAULT 1, PRIMARY KEY(code, day, kind, account));"
    "CREATE TABLE dividend_modes(code TEXT PRIMARY KEY,"
    " mode TEXT NOT NULL CHECK(mode IN ('cash', 'reinvest')));"
    "CREATE TABLE accounts(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
    "INSERT INTO accounts(id, name) VALUES(1, '默认账户');"
    // The keys of the rows imported from files: a row whose key is here is not imported again.
    "CREATE TABLE import_keys(key TEXT PRIMARY KEY, imported_at TEXT NOT NULL DEFAULT '');",
};

constexpr char kDamageKey[] = "damage_notice";

// A salvaged row as a record: the columns of `records` with their kinds and limits. A row of a
// file from before fees and dividends has no fee and no amount.
std::optional<Record> RecordOf(const store::SalvagedRow& row) {
  if (row.values.size() < 7) return std::nullopt;
  const auto text = [&](size_t i) { return std::get_if<std::string>(&row.values[i]); };
  const auto number = [&](size_t i) -> std::optional<std::int64_t> {
    if (i >= row.values.size()) return 0;
    const auto* value = std::get_if<std::int64_t>(&row.values[i]);
    return value ? std::optional<std::int64_t>(*value) : std::nullopt;
  };
  if (!text(1) || !text(2) || !text(3) || !text(4)) return std::nullopt;
  const std::optional<RecordKind> kind = KindOf(*text(4));
  const auto shares = number(5), price = number(6), fee = number(7), amount = number(8);
  const auto ratio = number(9), from_history = number(10), plan = number(11);
  if (!kind || !shares || !price || !fee || !amount || !ratio || !from_history || !plan ||
      *fee < 0) {
    return std::nullopt;
  }
  const std::string* period = row.values.size() > 12 ? text(12) : nullptr;
  const auto account = row.values.size() > 13 ? number(13) : kDefaultAccount;
  if (!account) return std::nullopt;
  Record record{*text(1), *text(2),
                *text(3), *kind,
                *shares,  *price,
                *fee,     *amount,
                *ratio,   *from_history != 0,
                *plan,    period ? *period : std::string(),
                0,        *account};
  if (!RecordFits(record)) return std::nullopt;
  const bool paid = *kind == RecordKind::kCashDividend;
  const bool split = *kind == RecordKind::kSplit;
  if (paid ? *amount <= 0 : split ? *ratio <= 0 : *shares <= 0 || *price <= 0) return std::nullopt;
  return record;
}

// The tables other than the records copied from a damaged file: their columns and types ('k'
// the rowid, 'i' an integer, 't' a text).
struct SalvagedTable {
  const char* table;
  const char* columns;
  const char* types;
};
constexpr SalvagedTable kSalvagedTables[] = {
    {"trades",
     "id, day, code, name, sell, amount, shares, fee_rate, after_close, plan, period, message,"
     " account",
     "ktttiiiiiitti"},
    {"plans",
     "id, code, name, amount, fee_rate, cycle, day, start, end_day, paused, made_through,"
     " account",
     "kttiiiittiti"},
    {"removed", "code, day, kind, account", "ttti"},
    {"dividend_modes", "code, mode", "tt"},
    {"accounts", "id, name", "kt"},
    {"import_keys", "key, imported_at", "tt"},
};

// Binds the salvaged row to `copy` when each of its columns has the type `types` gives.
bool CopySalvaged(store::Statement& copy, const store::SalvagedRow& row, std::string_view types) {
  if (row.values.size() != types.size()) return false;
  copy.Reset();
  for (size_t i = 0; i < types.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    if (types[i] == 'k') {
      copy.Bind(index, row.rowid);
    } else if (const auto* number = std::get_if<std::int64_t>(&row.values[i]); types[i] == 'i') {
      if (!number) return false;
      copy.Bind(index, *number);
    } else if (const auto* text = std::get_if<std::string>(&row.values[i])) {
      copy.Bind(index, *text);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int PositionsStore::SchemaVersion() { return static_cast<int>(kMigrations.size()); }

bool PositionsStore::Ready() {
  const std::lock_guard lock(mutex_);
  if (database_) return true;
  if (path_.empty()) return false;
  store::OpenResult opened = OpenUpgrading(path_, kMigrations);
  database_ = std::move(opened.database);
  if (database_ && !opened.moved_aside.empty()) Recover(opened.moved_aside);
  return database_ != nullptr;
}

bool PositionsStore::ReadOnly() {
  const std::lock_guard lock(mutex_);
  return Ready() && database_->ReadOnly();
}

void PositionsStore::Recover(const std::filesystem::path& moved) {
  store::Transaction transaction(*database_);
  store::Statement insert =
      database_->Prepare(std::string("INSERT INTO records(id, ") + kRecordColumns +
                         ") VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  int recovered = 0;
  for (const store::SalvagedRow& row : store::SalvageRows(moved, "records")) {
    const std::optional<Record> record = RecordOf(row);
    if (!record) continue;
    insert.Reset();
    insert.Bind(1, row.rowid);
    BindRecord(insert, 2, *record);
    if (insert.Run()) ++recovered;
  }
  // The pending trades, plans (with the periods they have made), the program's records the
  // user deleted, the dividend modes, the accounts and the keys of imported rows: every row
  // whose columns have their types.
  for (const auto& [table, columns, types] : kSalvagedTables) {
    std::string marks;
    for (size_t i = 0; i < std::string_view(types).size(); ++i) marks += i ? ", ?" : "?";
    store::Statement copy = database_->Prepare(std::string("INSERT OR REPLACE INTO ") + table +
                                               "(" + columns + ") VALUES(" + marks + ")");
    for (const store::SalvagedRow& row : store::SalvageRows(moved, table)) {
      if (CopySalvaged(copy, row, types)) copy.Run();
    }
  }
  const std::string notice = "持仓记录文件已损坏，已恢复" + base::IntToText(recovered) +
                             "条记录，原文件保存为" + moved.filename().string();
  database_->Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)")
      .Bind(1, kDamageKey)
      .Bind(2, notice)
      .Run();
  transaction.Commit();
}

bool PositionsStore::Add(const Record& record) {
  return Write([&](store::Database& database) {
    store::Statement insert = InsertRecordStatement(database);
    return InsertRecord(insert, record);
  });
}

bool PositionsStore::RemoveFund(const std::string& code, std::int64_t account) {
  return Write([&](store::Database& database) {
    // The quote goes with the fund's last record.
    return Run(database, "DELETE FROM records WHERE code = ? AND (? = 0 OR account = ?)", code,
               account, account) &&
           Run(database, "DELETE FROM trades WHERE code = ? AND (? = 0 OR account = ?)", code,
               account, account) &&
           Run(database,
               "DELETE FROM quotes WHERE code = ? AND NOT EXISTS"
               " (SELECT 1 FROM records WHERE code = ?)",
               code, code);
  });
}

bool PositionsStore::SaveQuote(const std::string& code, const Quote& quote) {
  const std::lock_guard lock(mutex_);
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  if (!transaction.Active()) return false;
  store::Statement save = database_->Prepare(
      "INSERT OR REPLACE INTO quotes(code, unit_nav, nav_date, day_change) VALUES(?, ?, ?, ?)");
  save.Bind(1, code).Bind(2, quote.unit_nav).Bind(3, quote.nav_date).Bind(4, quote.day_change);
  return save.Run() && transaction.Commit();
}

bool PositionsStore::SaveRefreshTime(const std::string& text) {
  const std::lock_guard lock(mutex_);
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  if (!transaction.Active()) return false;
  store::Statement save =
      database_->Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES('refreshed', ?)");
  return save.Bind(1, text).Run() && transaction.Commit();
}

std::vector<Record> PositionsStore::Records() {
  const std::lock_guard lock(mutex_);
  std::vector<Record> records;
  if (!Ready()) return records;
  store::Statement select =
      database_->Prepare(std::string("SELECT ") + kRecordColumns + ", id FROM records ORDER BY id");
  while (select.Step()) {
    records.push_back({select.Text(0), select.Text(1), select.Text(2),
                       KindOf(select.Text(3)).value_or(RecordKind::kBuy), select.Int(4),
                       select.Int(5), select.Int(6), select.Int(7), select.Int(8),
                       select.Int(9) != 0, select.Int(10), select.Text(11), select.Int(13),
                       select.Int(12)});
  }
  return records;
}

bool PositionsStore::Write(const std::function<bool(store::Database&)>& write) {
  const std::lock_guard lock(mutex_);
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  const bool written = transaction.Active() && write(*database_) && transaction.Commit();
  writes_ += written;
  return written;
}

std::map<std::string, Quote> PositionsStore::Quotes() {
  const std::lock_guard lock(mutex_);
  std::map<std::string, Quote> quotes;
  if (!Ready()) return quotes;
  store::Statement select =
      database_->Prepare("SELECT code, unit_nav, nav_date, day_change FROM quotes");
  while (select.Step()) {
    quotes[select.Text(0)] = {select.Text(1), select.Text(2), select.Text(3)};
  }
  return quotes;
}

bool PositionsStore::Use(const std::function<bool(store::Database&)>& use) {
  const std::lock_guard lock(mutex_);
  return Ready() && use(*database_);
}

bool PositionsStore::ReplaceWith(const std::filesystem::path& replacement,
                                 const std::filesystem::path& kept) {
  const std::lock_guard lock(mutex_);
  if (!Ready() || database_->ReadOnly()) return false;
  database_.reset();
  ++writes_;  // a book read before is older than the file now
  std::error_code error;
  std::filesystem::path log = path_;
  log += "-wal";
  // A log still there belongs to another connection: the file is not replaced under it.
  bool replaced = !std::filesystem::exists(log, error) && !error;
  if (replaced && ::link(path_.c_str(), kept.c_str()) != 0) {
    replaced = errno != EEXIST && std::filesystem::copy_file(path_, kept, error) && !error;
  }
  if (replaced) {
    std::filesystem::rename(replacement, path_, error);
    replaced = !error;
    if (!replaced) std::filesystem::remove(kept, error);
  }
  if (replaced) {
    const int folder = ::open(path_.parent_path().c_str(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
  }
  return Ready() && replaced;
}

std::string PositionsStore::DamageNotice() {
  const std::lock_guard lock(mutex_);
  if (!Ready()) return {};
  store::Statement select = database_->Prepare("SELECT value FROM meta WHERE key = ?");
  return select.Bind(1, kDamageKey).Step() ? select.Text(0) : std::string();
}

bool PositionsStore::ForgetDamageNotice() {
  const std::lock_guard lock(mutex_);
  if (!Ready()) return false;
  return database_->Prepare("DELETE FROM meta WHERE key = ?").Bind(1, kDamageKey).Run();
}

std::string PositionsStore::RefreshTime() {
  const std::lock_guard lock(mutex_);
  if (!Ready()) return {};
  store::Statement select = database_->Prepare("SELECT value FROM meta WHERE key = 'refreshed'");
  return select.Step() ? select.Text(0) : std::string();
}

}  // namespace positions
