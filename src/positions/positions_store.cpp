#include "positions/positions_store.h"

#include "base/text.h"
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
    // Alert rules as the user typed them, the figure and NAV date their last check gave, and
    // every NAV date each rule has fired for.
    "CREATE TABLE alert_rules(id INTEGER PRIMARY KEY, code TEXT NOT NULL, name TEXT NOT NULL,"
    " condition TEXT NOT NULL, threshold TEXT NOT NULL, latest TEXT NOT NULL DEFAULT '',"
    " nav_date TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE alert_told(rule INTEGER NOT NULL, nav_date TEXT NOT NULL, told_at TEXT NOT NULL,"
    " PRIMARY KEY(rule, nav_date));",
};

constexpr char kDamageKey[] = "damage_notice";

// A salvaged row as a record: the columns of `records` with their kinds and limits.
std::optional<Record> RecordOf(const store::SalvagedRow& row) {
  if (row.values.size() < 7) return std::nullopt;
  const auto text = [&](int i) { return std::get_if<std::string>(&row.values[i]); };
  const auto number = [&](int i) { return std::get_if<std::int64_t>(&row.values[i]); };
  if (!text(1) || !text(2) || !text(3) || !text(4) || !number(5) || !number(6) ||
      (*text(4) != "buy" && *text(4) != "sell") || *number(5) <= 0 || *number(6) <= 0) {
    return std::nullopt;
  }
  return Record{*text(1),   *text(2),
                *text(3),   *text(4) == "sell" ? RecordKind::kSell : RecordKind::kBuy,
                *number(5), *number(6)};
}

}  // namespace

bool PositionsStore::Ready() {
  if (database_) return true;
  if (path_.empty()) return false;
  store::OpenResult opened = store::Database::Open(path_, kMigrations);
  database_ = std::move(opened.database);
  if (database_ && !opened.moved_aside.empty()) Recover(opened.moved_aside);
  return database_ != nullptr;
}

bool PositionsStore::ReadOnly() { return Ready() && database_->ReadOnly(); }

void PositionsStore::Recover(const std::filesystem::path& moved) {
  store::Transaction transaction(*database_);
  store::Statement insert = database_->Prepare(
      "INSERT INTO records(id, day, code, name, kind, shares, price) VALUES(?, ?, ?, ?, ?, ?, ?)");
  int recovered = 0;
  for (const store::SalvagedRow& row : store::SalvageRows(moved, "records")) {
    const std::optional<Record> record = RecordOf(row);
    if (!record) continue;
    insert.Reset();
    insert.Bind(1, row.rowid)
        .Bind(2, record->day)
        .Bind(3, record->code)
        .Bind(4, record->name)
        .Bind(5, record->kind == RecordKind::kBuy ? "buy" : "sell")
        .Bind(6, record->shares)
        .Bind(7, record->price);
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
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  if (!transaction.Active()) return false;
  store::Statement insert = database_->Prepare(
      "INSERT INTO records(day, code, name, kind, shares, price) VALUES(?, ?, ?, ?, ?, ?)");
  insert.Bind(1, record.day)
      .Bind(2, record.code)
      .Bind(3, record.name)
      .Bind(4, record.kind == RecordKind::kBuy ? "buy" : "sell")
      .Bind(5, record.shares)
      .Bind(6, record.price);
  return insert.Run() && transaction.Commit();
}

bool PositionsStore::RemoveFund(const std::string& code) {
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
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  if (!transaction.Active()) return false;
  store::Statement save = database_->Prepare(
      "INSERT OR REPLACE INTO quotes(code, unit_nav, nav_date, day_change) VALUES(?, ?, ?, ?)");
  save.Bind(1, code).Bind(2, quote.unit_nav).Bind(3, quote.nav_date).Bind(4, quote.day_change);
  return save.Run() && transaction.Commit();
}

bool PositionsStore::SaveRefreshTime(const std::string& text) {
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  if (!transaction.Active()) return false;
  store::Statement save =
      database_->Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES('refreshed', ?)");
  return save.Bind(1, text).Run() && transaction.Commit();
}

std::vector<Record> PositionsStore::Records() {
  std::vector<Record> records;
  if (!Ready()) return records;
  store::Statement select =
      database_->Prepare("SELECT day, code, name, kind, shares, price FROM records ORDER BY id");
  while (select.Step()) {
    records.push_back({select.Text(0), select.Text(1), select.Text(2),
                       select.Text(3) == "sell" ? RecordKind::kSell : RecordKind::kBuy,
                       select.Int(4), select.Int(5)});
  }
  return records;
}

std::map<std::string, Quote> PositionsStore::Quotes() {
  std::map<std::string, Quote> quotes;
  if (!Ready()) return quotes;
  store::Statement select =
      database_->Prepare("SELECT code, unit_nav, nav_date, day_change FROM quotes");
  while (select.Step()) {
    quotes[select.Text(0)] = {select.Text(1), select.Text(2), select.Text(3)};
  }
  return quotes;
}

std::string PositionsStore::DamageNotice() {
  if (!Ready()) return {};
  store::Statement select = database_->Prepare("SELECT value FROM meta WHERE key = ?");
  return select.Bind(1, kDamageKey).Step() ? select.Text(0) : std::string();
}

bool PositionsStore::ForgetDamageNotice() {
  if (!Ready()) return false;
  return database_->Prepare("DELETE FROM meta WHERE key = ?").Bind(1, kDamageKey).Run();
}

std::string PositionsStore::RefreshTime() {
  if (!Ready()) return {};
  store::Statement select = database_->Prepare("SELECT value FROM meta WHERE key = 'refreshed'");
  return select.Step() ? select.Text(0) : std::string();
}

}  // namespace positions
