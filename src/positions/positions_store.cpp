#include "positions/positions_store.h"

#include "base/text.h"
#include "positions/store_upgrade.h"
#include "store/salvage.h"

namespace positions {

namespace {

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
};

constexpr const char* kKindTexts[] = {"buy", "sell", "cash", "reinvest", "split"};

const char* KindText(RecordKind kind) { return kKindTexts[static_cast<int>(kind)]; }

std::optional<RecordKind> KindOf(const std::string& text) {
  for (int i = 0; i < static_cast<int>(std::size(kKindTexts)); ++i) {
    if (text == kKindTexts[i]) return static_cast<RecordKind>(i);
  }
  return std::nullopt;
}

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
  if (!kind || !shares || !price || !fee || !amount || *fee < 0) return std::nullopt;
  const bool paid = *kind == RecordKind::kCashDividend;
  if (paid ? *amount <= 0 : *shares <= 0 || *price <= 0) return std::nullopt;
  return Record{*text(1), *text(2), *text(3), *kind, *shares, *price, *fee, *amount};
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
  store::Statement insert = database_->Prepare(
      "INSERT INTO records(id, day, code, name, kind, shares, price, fee, amount)"
      " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
  int recovered = 0;
  for (const store::SalvagedRow& row : store::SalvageRows(moved, "records")) {
    const std::optional<Record> record = RecordOf(row);
    if (!record) continue;
    insert.Reset();
    insert.Bind(1, row.rowid)
        .Bind(2, record->day)
        .Bind(3, record->code)
        .Bind(4, record->name)
        .Bind(5, KindText(record->kind))
        .Bind(6, record->shares)
        .Bind(7, record->price)
        .Bind(8, record->fee)
        .Bind(9, record->amount);
    if (insert.Run()) ++recovered;
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
  const std::lock_guard lock(mutex_);
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  if (!transaction.Active()) return false;
  store::Statement insert = database_->Prepare(
      "INSERT INTO records(day, code, name, kind, shares, price, fee, amount)"
      " VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, record.day)
      .Bind(2, record.code)
      .Bind(3, record.name)
      .Bind(4, KindText(record.kind))
      .Bind(5, record.shares)
      .Bind(6, record.price)
      .Bind(7, record.fee)
      .Bind(8, record.amount);
  return insert.Run() && transaction.Commit();
}

bool PositionsStore::RemoveFund(const std::string& code) {
  const std::lock_guard lock(mutex_);
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  if (!transaction.Active()) return false;
  for (const char* sql :
       {"DELETE FROM records WHERE code = ?", "DELETE FROM quotes WHERE code = ?"}) {
    store::Statement remove = database_->Prepare(sql);
    if (!remove.Bind(1, code).Run()) return false;
  }
  return transaction.Commit();
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
  store::Statement select = database_->Prepare(
      "SELECT day, code, name, kind, shares, price, fee, amount FROM records ORDER BY id");
  while (select.Step()) {
    records.push_back({select.Text(0), select.Text(1), select.Text(2),
                       KindOf(select.Text(3)).value_or(RecordKind::kBuy), select.Int(4),
                       select.Int(5), select.Int(6), select.Int(7)});
  }
  return records;
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
