#pragma once

// How the ledger's file holds a record, a pending trade and a plan: their columns, binding them
// to a statement and the kind texts; shared by the store's files. Internal to the store.

#include <cstdint>
#include <optional>
#include <string>

#include "positions/ledger.h"
#include "positions/plans.h"
#include "positions/trades.h"
#include "store/database.h"

namespace positions::store_rows {

inline constexpr const char* kKindTexts[] = {"buy", "sell", "cash", "reinvest", "split"};

inline const char* KindText(RecordKind kind) { return kKindTexts[static_cast<int>(kind)]; }

inline std::optional<RecordKind> KindOf(const std::string& text) {
  for (int i = 0; i < static_cast<int>(std::size(kKindTexts)); ++i) {
    if (text == kKindTexts[i]) return static_cast<RecordKind>(i);
  }
  return std::nullopt;
}

// The record's columns after its id, bound from `first` on, in the order of kRecordColumns.
inline constexpr char kRecordColumns[] =
    "day, code, name, kind, shares, price, fee, amount, ratio, from_history, plan, period, account";
inline void BindRecord(store::Statement& statement, int first, const Record& record) {
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

inline store::Statement InsertRecordStatement(store::Database& database) {
  return database.Prepare(std::string("INSERT INTO records(") + kRecordColumns +
                          ") VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
}

inline bool InsertRecord(store::Statement& insert, const Record& record) {
  insert.Reset();
  BindRecord(insert, 1, record);
  return insert.Run();
}

inline store::Statement InsertTradeStatement(store::Database& database) {
  return database.Prepare(
      "INSERT INTO trades(day, code, name, sell, amount, shares, fee_rate, after_close, plan,"
      " period, account) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
}

inline bool InsertTrade(store::Statement& insert, const Trade& trade) {
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
inline constexpr char kPlanColumns[] =
    "code, name, amount, fee_rate, cycle, day, start, end_day, paused, made_through, account";
inline constexpr char kInsertPlan[] =
    "INSERT INTO plans(code, name, amount, fee_rate, cycle, day, start, end_day, paused,"
    " made_through, account) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
inline void BindPlan(store::Statement& statement, const Plan& plan) {
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

}  // namespace positions::store_rows
