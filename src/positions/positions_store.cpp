#include "positions/positions_store.h"

namespace positions {

namespace {

const store::Migrations kMigrations = {
    "CREATE TABLE records(id INTEGER PRIMARY KEY, day TEXT NOT NULL, code TEXT NOT NULL,"
    " name TEXT NOT NULL, kind TEXT NOT NULL CHECK(kind IN ('buy', 'sell')),"
    " shares INTEGER NOT NULL, price INTEGER NOT NULL);"
    "CREATE TABLE quotes(code TEXT PRIMARY KEY, unit_nav TEXT NOT NULL, nav_date TEXT NOT NULL,"
    " day_change TEXT NOT NULL);"
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);",
};

}  // namespace

bool PositionsStore::Ready() {
  if (database_) return true;
  if (path_.empty()) return false;
  database_ = store::Database::Open(path_, kMigrations).database;
  return database_ != nullptr;
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

std::string PositionsStore::RefreshTime() {
  if (!Ready()) return {};
  store::Statement select = database_->Prepare("SELECT value FROM meta WHERE key = 'refreshed'");
  return select.Step() ? select.Text(0) : std::string();
}

}  // namespace positions
