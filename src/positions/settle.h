#pragma once

// What the ledger makes by itself once the funds' histories are known: the periods of the 定投
// plans up to today, the trades whose confirming NAV has come, and the dividends and splits of
// the funds held. Plain values: the caller reads the ledger's file into a Book, settles it
// against the histories, writes the Settlement back in one transaction, and reads the book
// again until a settlement makes nothing (a plan's new periods confirm on the second round).

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/nav_history.h"
#include "positions/ledger.h"
#include "positions/plans.h"
#include "positions/trades.h"

namespace positions {

// A trade waiting for its NAV, or refused when it came (`message` says why; it waits for the
// user to correct or delete it).
struct PendingTrade {
  std::int64_t id = 0;
  Trade trade;
  std::string message;

  bool operator==(const PendingTrade&) const = default;
};

struct Account {
  std::int64_t id = 0;
  std::string name;

  bool operator==(const Account&) const = default;
};

// What the ledger's file holds of the user's money.
struct Book {
  std::vector<Record> records;
  std::vector<PendingTrade> trades;
  std::vector<Plan> plans;
  // The program's dividends and splits the user deleted: they are not made again.
  std::vector<Record> removed;
  // 分红方式 per fund; a fund not named takes cash.
  std::map<std::string, DividendMode> modes;
  std::vector<Account> accounts;
  // Which of two reads of the same file is the newer: the writes made before it was read.
  std::int64_t version = 0;
};

struct Settlement {
  // The periods the plans made (each plan's new made_through with them).
  std::vector<Trade> made;
  std::map<std::int64_t, std::string> made_through;  // plan id → day
  // Pending trades (by id) confirmed into records, and those refused with the message.
  std::map<std::int64_t, Record> confirmed;
  std::map<std::int64_t, std::string> refused;
  // Dividends and splits of the histories.
  std::vector<Record> from_history;
  // Pending periods of daily plans that fell on a holiday, to be removed.
  std::vector<std::int64_t> dropped;

  bool Empty() const {
    return made.empty() && made_through.empty() && confirmed.empty() && refused.empty() &&
           from_history.empty() && dropped.empty();
  }
};

inline constexpr char kSaleNotHeldText[] = "卖出份额超过确认日的持有份额";
inline constexpr char kTradeBeyondLimitsText[] = "超出持仓记录的范围";

// The plans' periods from the day after each plan's made_through (its start the first time) to
// `today`, as new pending trades; a daily plan's pending periods that the histories show were
// holidays, dropped; the book's pending trades that the histories confirm, a sale
// of more than is held on its confirming day refused; and the dividends and splits of every
// fund held whose history is given. `histories` by code; a fund without one waits.
Settlement Settle(const Book& book, const std::map<std::string, base::NavHistory>& histories,
                  std::string_view today);

// Every code the book's records, trades and plans name, each once.
std::vector<std::string> CodesOf(const Book& book);

}  // namespace positions
