#include "positions/positions_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

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

// The record's columns after its id, bound from `first` on, in the order of kRecordColumns.
constexpr char kRecordColumns[] =
    "day, code, name, kind, shares, price, fee, amount, ratio, from_history, plan, period, account";
void BindRecord(store::Statement& statement, int first, const Record& record) {
  statement.Bind(first, record.day)
      .Bind(first + 1, record.code)
      .Bind(first + 2, record.name)
      .Bind(first + 3, KindText(record.kind))
      .Bind(first + 4, record.shares)
      .Bind(first + 5, record.price)
      .Bind(first + 6, record.fee)
      .Bind(first + 7, record.amount)
      .Bind(first + 8, record.ratio)
      .Bind(first + 9, std::int64_t{record.from_history})
      .Bind(first + 10, record.plan)
      .Bind(first + 11, record.period)
      .Bind(first + 12, record.account);
}

store::Statement InsertRecordStatement(store::Database& database) {
  return database.Prepare(std::string("INSERT INTO records(") + kRecordColumns +
                          ") VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
}

bool InsertRecord(store::Statement& insert, const Record& record) {
  insert.Reset();
  BindRecord(insert, 1, record);
  return insert.Run();
}

store::Statement InsertTradeStatement(store::Database& database) {
  return database.Prepare(
      "INSERT INTO trades(day, code, name, sell, amount, shares, fee_rate, after_close, plan,"
      " period, account) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
}

bool InsertTrade(store::Statement& insert, const Trade& trade) {
  insert.Reset();
  insert.Bind(1, trade.day)
      .Bind(2, trade.code)
      .Bind(3, trade.name)
      .Bind(4, std::int64_t{trade.sell})
      .Bind(5, trade.amount)
      .Bind(6, trade.shares)
      .Bind(7, trade.fee_rate)
      .Bind(8, std::int64_t{trade.after_close})
      .Bind(9, trade.plan)
      .Bind(10, trade.period)
      .Bind(11, trade.account);
  return insert.Run();
}

// The plan's columns after its id, bound from 1 on.
constexpr char kPlanColumns[] =
    "code, name, amount, fee_rate, cycle, day, start, end_day, paused, made_through, account";
void BindPlan(store::Statement& statement, const Plan& plan) {
  statement.Bind(1, plan.code)
      .Bind(2, plan.name)
      .Bind(3, plan.amount)
      .Bind(4, plan.fee_rate)
      .Bind(5, std::int64_t{static_cast<int>(plan.cycle)})
      .Bind(6, std::int64_t{plan.day})
      .Bind(7, plan.start)
      .Bind(8, plan.end)
      .Bind(9, std::int64_t{plan.paused})
      .Bind(10, plan.made_through)
      .Bind(11, plan.account);
}

// Runs `sql` with `values` bound in order.
template <class... Values>
bool Run(store::Database& database, const char* sql, const Values&... values) {
  store::Statement statement = database.Prepare(sql);
  int index = 0;
  (statement.Bind(++index, values), ...);
  return statement.Run();
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

std::optional<std::int64_t> PositionsStore::AddAccount(const std::string& name) {
  std::optional<std::int64_t> id;
  Write([&](store::Database& database) {
    if (!Run(database, "INSERT INTO accounts(name) VALUES(?)", name)) return false;
    id = database.LastInsertId();
    return true;
  });
  return id;
}

bool PositionsStore::RenameAccount(std::int64_t id, const std::string& name) {
  return Write([&](store::Database& database) {
    return Run(database, "UPDATE accounts SET name = ? WHERE id = ?", name, id);
  });
}

AccountRemoval PositionsStore::RemoveAccount(std::int64_t id) {
  AccountRemoval removal = AccountRemoval::kFailed;
  Write([&](store::Database& database) {
    store::Statement used = database.Prepare(
        "SELECT EXISTS(SELECT 1 FROM records WHERE account = ?1)"
        " OR EXISTS(SELECT 1 FROM trades WHERE account = ?1)"
        " OR EXISTS(SELECT 1 FROM plans WHERE account = ?1)");
    if (!used.Bind(1, id).Step()) return false;
    if (used.Int(0) != 0) {
      removal = AccountRemoval::kInUse;
      return false;
    }
    if (!Run(database, "DELETE FROM accounts WHERE id = ?", id)) return false;
    removal = AccountRemoval::kRemoved;
    return true;
  });
  return removal;
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

Book PositionsStore::ReadBook() {
  const std::lock_guard lock(mutex_);
  Book book;
  if (!Ready()) return book;
  book.version = writes_;
  book.records = Records();
  store::Statement trades = database_->Prepare(
      "SELECT id, day, code, name, sell, amount, shares, fee_rate, after_close, plan, period,"
      " message, account FROM trades ORDER BY id");
  while (trades.Step()) {
    book.trades.push_back({trades.Int(0),
                           {trades.Text(1), trades.Text(2), trades.Text(3), trades.Int(4) != 0,
                            trades.Int(5), trades.Int(6), trades.Int(7), trades.Int(8) != 0,
                            trades.Int(9), trades.Text(10), trades.Int(12)},
                           trades.Text(11)});
  }
  store::Statement plans =
      database_->Prepare(std::string("SELECT id, ") + kPlanColumns + " FROM plans ORDER BY id");
  while (plans.Step()) {
    const std::int64_t cycle = plans.Int(5);
    book.plans.push_back({plans.Int(0), plans.Text(1), plans.Text(2), plans.Int(3), plans.Int(4),
                          static_cast<Cycle>(std::clamp<std::int64_t>(cycle, 0, 3)),
                          static_cast<int>(plans.Int(6)), plans.Text(7), plans.Text(8),
                          plans.Int(9) != 0, plans.Text(10), plans.Int(11)});
  }
  store::Statement removed = database_->Prepare("SELECT code, day, kind, account FROM removed");
  while (removed.Step()) {
    Record record;
    record.code = removed.Text(0);
    record.day = removed.Text(1);
    record.kind = KindOf(removed.Text(2)).value_or(RecordKind::kCashDividend);
    record.account = removed.Int(3);
    record.from_history = true;
    book.removed.push_back(std::move(record));
  }
  store::Statement modes = database_->Prepare("SELECT code, mode FROM dividend_modes");
  while (modes.Step()) {
    book.modes[modes.Text(0)] =
        modes.Text(1) == "reinvest" ? DividendMode::kReinvest : DividendMode::kCash;
  }
  store::Statement accounts = database_->Prepare("SELECT id, name FROM accounts ORDER BY id");
  while (accounts.Step()) book.accounts.push_back({accounts.Int(0), accounts.Text(1)});
  return book;
}

bool PositionsStore::Write(const std::function<bool(store::Database&)>& write) {
  const std::lock_guard lock(mutex_);
  if (!Ready()) return false;
  store::Transaction transaction(*database_);
  const bool written = transaction.Active() && write(*database_) && transaction.Commit();
  writes_ += written;
  return written;
}

Book PositionsStore::Settle(const std::map<std::string, base::NavHistory>& histories,
                            std::string_view today) {
  const std::lock_guard lock(mutex_);
  Book book = ReadBook();
  // Each round makes what the last one's records allow (a plan's new period confirms in the
  // next); a round that cannot be saved ends it.
  for (int round = 0; round < 4; ++round) {
    const Settlement settlement = positions::Settle(book, histories, today);
    if (settlement.Empty() || !Save(settlement)) break;
    book = ReadBook();
  }
  return book;
}

bool PositionsStore::AddTrade(const Trade& trade) {
  return Write([&](store::Database& database) {
    store::Statement insert = InsertTradeStatement(database);
    return InsertTrade(insert, trade);
  });
}

ImportCounts PositionsStore::Import(const std::vector<ImportItem>& items) {
  ImportCounts counts;
  const bool written = Write([&](store::Database& database) {
    counts = {};
    store::Statement seen = database.Prepare("SELECT 1 FROM import_keys WHERE key = ?");
    store::Statement keep = database.Prepare("INSERT INTO import_keys(key) VALUES(?)");
    store::Statement add_account =
        database.Prepare("INSERT OR IGNORE INTO accounts(name) VALUES(?)");
    store::Statement account_of = database.Prepare("SELECT id FROM accounts WHERE name = ?");
    store::Statement record_insert = InsertRecordStatement(database);
    store::Statement trade_insert = InsertTradeStatement(database);
    std::map<std::string, std::int64_t> accounts;
    for (const ImportItem& item : items) {
      seen.Reset();
      seen.Bind(1, item.key);
      if (seen.Step()) {
        ++counts.duplicates;
        continue;
      }
      keep.Reset();
      keep.Bind(1, item.key);
      if (!keep.Run()) return false;
      std::int64_t account = item.account;
      if (!item.account_name.empty()) {
        auto found = accounts.find(item.account_name);
        if (found == accounts.end()) {
          add_account.Reset();
          add_account.Bind(1, item.account_name);
          account_of.Reset();
          account_of.Bind(1, item.account_name);
          if (!add_account.Run() || !account_of.Step()) return false;
          found = accounts.emplace(item.account_name, account_of.Int(0)).first;
        }
        account = found->second;
      }
      if (item.record) {
        Record record = *item.record;
        record.account = account;
        if (!InsertRecord(record_insert, record)) return false;
      } else if (item.trade) {
        Trade trade = *item.trade;
        trade.account = account;
        if (!InsertTrade(trade_insert, trade)) return false;
        if (!item.message.empty() && !Run(database, "UPDATE trades SET message = ? WHERE id = ?",
                                          item.message, database.LastInsertId())) {
          return false;
        }
      }
      ++counts.added;
    }
    return true;
  });
  counts.written = written;
  return counts;
}

std::set<std::string> PositionsStore::ImportedKeys() {
  const std::lock_guard lock(mutex_);
  std::set<std::string> keys;
  if (!Ready()) return keys;
  store::Statement select = database_->Prepare("SELECT key FROM import_keys");
  while (select.Step()) keys.insert(select.Text(0));
  return keys;
}

bool PositionsStore::RemoveTrade(std::int64_t id) {
  return Write([&](store::Database& database) {
    return Run(database, "DELETE FROM trades WHERE id = ?", id);
  });
}

bool PositionsStore::RemoveRecord(const Record& record) {
  return Write([&](store::Database& database) {
    if (record.from_history &&
        !Run(database, "INSERT OR IGNORE INTO removed(code, day, kind, account) VALUES(?, ?, ?, ?)",
             record.code, record.day, KindText(record.kind), record.account)) {
      return false;
    }
    return Run(database, "DELETE FROM records WHERE id = ?", record.id);
  });
}

std::optional<std::int64_t> PositionsStore::SavePlan(const Plan& plan) {
  std::optional<std::int64_t> id;
  const bool saved = Write([&](store::Database& database) {
    store::Statement save =
        plan.id == 0
            ? database.Prepare(std::string("INSERT INTO plans(") + kPlanColumns +
                               ") VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            : database.Prepare(
                  "UPDATE plans SET code = ?, name = ?, amount = ?, fee_rate = ?, cycle = ?,"
                  " day = ?, start = ?, end_day = ?, paused = ?, made_through = ?, account = ?"
                  " WHERE id = ?");
    BindPlan(save, plan);
    if (plan.id != 0) save.Bind(12, plan.id);
    if (!save.Run()) return false;
    id = plan.id != 0 ? plan.id : database.LastInsertId();
    return true;
  });
  return saved ? id : std::nullopt;
}

bool PositionsStore::RemovePlan(std::int64_t id) {
  return Write([&](store::Database& database) {
    return Run(database, "DELETE FROM plans WHERE id = ?", id);
  });
}

bool PositionsStore::SaveDividendMode(const std::string& code, DividendMode mode) {
  return Write([&](store::Database& database) {
    return Run(database, "INSERT OR REPLACE INTO dividend_modes(code, mode) VALUES(?, ?)", code,
               mode == DividendMode::kReinvest ? "reinvest" : "cash");
  });
}

bool PositionsStore::Save(const Settlement& settlement) {
  return Write([&](store::Database& database) {
    store::Statement insert_trade = InsertTradeStatement(database);
    for (const Trade& trade : settlement.made) {
      if (!InsertTrade(insert_trade, trade)) return false;
    }
    store::Statement made = database.Prepare("UPDATE plans SET made_through = ? WHERE id = ?");
    for (const auto& [plan, day] : settlement.made_through) {
      made.Reset();
      if (!made.Bind(1, day).Bind(2, plan).Run()) return false;
    }
    store::Statement insert_record = InsertRecordStatement(database);
    store::Statement remove = database.Prepare("DELETE FROM trades WHERE id = ?");
    for (const auto& [trade, record] : settlement.confirmed) {
      remove.Reset();
      if (!InsertRecord(insert_record, record) || !remove.Bind(1, trade).Run()) return false;
    }
    store::Statement refuse = database.Prepare("UPDATE trades SET message = ? WHERE id = ?");
    for (const auto& [trade, message] : settlement.refused) {
      refuse.Reset();
      if (!refuse.Bind(1, message).Bind(2, trade).Run()) return false;
    }
    for (const Record& record : settlement.from_history) {
      if (!InsertRecord(insert_record, record)) return false;
    }
    return true;
  });
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
