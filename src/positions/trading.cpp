#include "positions/trading.h"

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "app/load.h"
#include "base/text.h"
#include "portal/fund_search.h"
#include "positions/entry.h"
#include "positions/fund_history.h"
#include "positions/positions.h"

namespace positions {

namespace {

// The book read or settled on a worker replaces the one shown unless that one is newer.
void ShowBook(app::App& app, State& state, Book book) {
  if (book.version < state.book.version) return;
  if (!state.loaded) state.quotes = state.store.Quotes();  // a few rows: the funds held
  SetBook(state, std::move(book));
  state.loaded = true;
  ShowPositions(app, state);
}

// What a trade's load found of its fund: the history (kept or asked), else its name by search.
struct FundFound {
  std::optional<base::NavHistory> history;
  std::optional<std::string> name;
};

// The trade stored and the ledger settled, on a worker; its book shown.
void StoreTrade(app::App& app, State& state, const app::LoadTicket& ticket, const Trade& trade) {
  const std::string today = TodayText(app);
  app::StartLoad(
      app, ticket,
      [&app, &state, trade, today]() -> std::optional<Book> {
        if (!state.store.AddTrade(trade)) return std::nullopt;
        return state.store.Settle(KeptHistories(app, state), today);
      },
      [&app, &state](const std::optional<Book>& book) {
        state.entering = false;
        if (!book) {
          app.dialogs().MessageBox(kCannotSaveText);
          return;
        }
        ShowBook(app, state, *book);
      },
      [&state] { state.entering = false; });
}

void EnterTrade(app::App& app, State& state, bool sell) {
  if (state.entering) return;
  std::optional<Trade> read = ReadTrade(app, state, sell);
  if (!read) return;
  state.entering = true;
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kTradeEntry);
  app::StartLoad(
      app, ticket,
      [&app, code = read->code] {
        FundFound found;
        found.history = FetchFundHistory(app, code, false).history;
        if (!found.history) {
          found.name = portal::FetchFundName(app.portal(), code, &app.transfers());
        }
        return found;
      },
      [&app, &state, ticket, trade = *read](const FundFound& found) mutable {
        const std::string name = found.history ? found.history->name : found.name.value_or("");
        if (found.history && !found.history->points.empty() &&
            trade.day < found.history->points.front().day) {
          state.entering = false;
          app.dialogs().MessageBox(std::string(kBeforeFirstNavText) + "（" +
                                   found.history->points.front().day + "）");
          return;
        }
        if (name.empty()) {
          state.entering = false;
          app.dialogs().MessageBox(kNotFoundText + trade.code);
          return;
        }
        trade.name = name;
        StoreTrade(app, state, ticket, trade);
      },
      [&state] { state.entering = false; });
}

}  // namespace

std::map<std::string, base::NavHistory> KeptHistories(app::App& app, State& state) {
  std::map<std::string, base::NavHistory> histories;
  for (const std::string& code : CodesOf(state.store.ReadBook())) {
    std::optional<base::NavHistory> history = KeptFundHistory(app, code);
    if (history) histories.emplace(code, std::move(*history));
  }
  return histories;
}

std::string TodayText(app::App& app) {
  const base::DateTime now = app.clock().Now();
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.year, now.month, now.day);
  return text;
}

void SettleLedger(app::App& app, State& state) {
  const std::string today = TodayText(app);
  app::StartLoad(
      app, app.loads().Start(app::LoadTarget::kLedger),
      [&app, &state, today] { return state.store.Settle(KeptHistories(app, state), today); },
      [&app, &state](const Book& book) { ShowBook(app, state, book); });
}

void AfterWrite(app::App& app, State& state) {
  SetBook(state, state.store.ReadBook());
  ShowPositions(app, state);
  SettleLedger(app, state);
}

void OnBuyByAmount(app::App& app, State& state) { EnterTrade(app, state, false); }

void OnSellByShares(app::App& app, State& state) { EnterTrade(app, state, true); }

void OnDeleteTrade(app::App& app, State& state) {
  const int row = app.positions_window().交易表格.CurrentRow();
  if (row < 1 || row > static_cast<int>(state.trade_rows.size())) {
    app.dialogs().MessageBox(kNoTradeRowText);
    return;
  }
  const State::TradeRow chosen = state.trade_rows[static_cast<size_t>(row - 1)];
  const bool pending = chosen.trade != 0;
  if (!app.dialogs().AskYesNo(pending ? "确定删除这笔待确认的交易吗？"
                                      : "确定删除" + chosen.record.day + "的这条记录吗？")) {
    return;
  }
  if (!(pending ? state.store.RemoveTrade(chosen.trade)
                : state.store.RemoveRecord(chosen.record))) {
    app.dialogs().MessageBox(kCannotSaveText);
    return;
  }
  AfterWrite(app, state);
}

void OnDividendMode(app::App& app, State& state) {
  const std::string code = ChosenCode(app, state);
  if (code.empty()) {
    app.dialogs().MessageBox(kNoRowText);
    ShowTrades(app, state);
    return;
  }
  const DividendMode mode = app.positions_window().分红方式框.Current() == 1
                                ? DividendMode::kReinvest
                                : DividendMode::kCash;
  if (!state.store.SaveDividendMode(code, mode)) {
    app.dialogs().MessageBox(kCannotSaveText);
    ShowTrades(app, state);
    return;
  }
  AfterWrite(app, state);
}

}  // namespace positions
