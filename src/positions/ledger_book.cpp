// The ledger store's reads and writes beyond the records and quotes: the book as a whole,
// pending trades, plans, accounts, dividend modes, the settlement's writes and imports.

#include <algorithm>
#include <set>
#include <string>

#include "positions/positions_store.h"
#include "positions/store_rows.h"

namespace positions {

using namespace store_rows;

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
    store::Statement plan_insert = database.Prepare(kInsertPlan);
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
      } else if (item.plan) {
        Plan plan = *item.plan;
        plan.account = account;
        plan_insert.Reset();
        BindPlan(plan_insert, plan);
        if (!plan_insert.Run()) return false;
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
            ? database.Prepare(kInsertPlan)
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
    for (const std::int64_t trade : settlement.dropped) {
      remove.Reset();
      if (!remove.Bind(1, trade).Run()) return false;
    }
    return true;
  });
}

}  // namespace positions
