#pragma once

// What the positions feature remembers between events, and how it shows it: the window's grid
// with its 合计 row, its status line 持仓状态 and the main window's today's-profit caption.
// Internal to the feature; touched on the UI thread only.

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "positions/annual_return.h"
#include "positions/ledger.h"
#include "positions/positions_store.h"

namespace positions {

struct State {
  explicit State(std::filesystem::path path) : store(std::move(path)) {}
  PositionsStore store;
  bool loaded = false;
  // The account chosen in 账户框; 0 for "全部账户".
  std::int64_t account = 0;
  // What the file held when last read, and the positions the chosen account's records replay
  // to.
  Book book;
  std::vector<Position> replayed;
  std::vector<Position> all_replayed;  // of every account, for the main window's caption
  // The flows of the records, of each fund by code and of all of them under "".
  std::map<std::string, std::optional<std::vector<CashFlow>>> record_flows;
  std::map<std::string, Quote> quotes;
  // The code and name "加入持仓" put into 代码框: a buy of that code needs no search.
  std::string offered_code;
  std::string offered_name;
  // A buy waits for the search: another click of 买入 meanwhile would record the buy twice.
  bool searching = false;
  // A trade by amount or shares waits for its fund's history: another click is ignored.
  bool entering = false;
  // What each row of 交易表格 holds: a pending trade's id, or a record.
  struct TradeRow {
    std::int64_t trade = 0;
    Record record;
  };
  std::vector<TradeRow> trade_rows;
  // Run after the book shown changed (the plan window and 收益分析 follow it).
  std::vector<std::function<void()>> on_book_shown;
  // 持仓状态's own text (the refresh's progress or result) and the damaged file's notice, shown
  // after it for the rest of the run once the user has seen it.
  std::string progress;
  std::string damage_notice;
};

// The book read from the file becomes the one shown, the chosen account's positions replayed
// once.
void SetBook(State& state, Book book);
// The account records and trades go to: the chosen one, else "默认账户".
std::int64_t NewAccount(const State& state);
// The account a sale or dividend of `code` goes to: the chosen one; under "全部账户" the
// default account when it holds the fund, else the first account holding it.
std::int64_t AccountFor(const State& state, const std::string& code);
// The fund's position in one account.
Position PositionIn(const State& state, const std::string& code, std::int64_t account);

// The funds held (shares above 0), in the order first bought.
std::vector<Position> Held(const State& state);
const Quote* QuoteOf(const State& state, const std::string& code);

// The grid as the state stands: one row per held fund, then 合计; then the captions below and
// 交易表格.
void ShowPositions(app::App& app, State& state);
// 交易表格: the pending trades, then the records of the fund chosen in 持仓表格, newest first;
// 分红方式框 shows that fund's 分红方式.
void ShowTrades(app::App& app, State& state);
// 持仓状态: the progress, then "n笔交易待确认，共x元" for the trades waiting (x the money of the
// buys among them), then "n支基金未刷新，合计收益仅含已刷新的基金" when n held funds have no
// figures yet, then the damage notice, joined by "；".
void ShowStatus(app::App& app, const State& state);
// The records of the account chosen in 账户框 (every record for "全部账户").
std::vector<Record> AccountRecords(const State& state);
// The pending trades of the account chosen.
std::vector<PendingTrade> AccountTrades(const State& state);
// 账户框: "全部账户", then every account by name; the chosen one shown.
void ShowAccounts(app::App& app, const State& state);

// The code of the fund chosen in 持仓表格, empty when none is.
std::string ChosenCode(app::App& app, const State& state);
// 持仓标签: "当日收益 " + today's profit of the funds held in every account, empty when none
// are.
void ShowMainCaption(app::App& app, const State& state);

}  // namespace positions
