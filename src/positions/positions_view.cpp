#include "positions/positions_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>

#include "base/decimal.h"
#include "base/nav_history.h"
#include "base/text.h"
#include "positions/annual_return.h"

namespace positions {

namespace {

constexpr ui::Colour kProfitRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kLossGreen = ui::Rgb(0, 128, 0);

ui::Colour SignColour(std::int64_t value) {
  return value > 0 ? kProfitRed : value < 0 ? kLossGreen : ui::kDefaultTextColour;
}

void WriteMoney(ui::Grid& grid, int row, int column, std::optional<std::int64_t> value, bool sign) {
  grid.SetText(row, column, value ? base::FormatScaled(*value, 2, sign) : "");
  grid.SetTextColour(row, column, value && sign ? SignColour(*value) : ui::kDefaultTextColour);
}

// Rates this far out (a few days' gain compounded over a year) have no meaningful text.
constexpr double kLargestRate = 1e12;

// The money-weighted annual return of the flows, "--" when there is none.
std::string AnnualReturnText(const std::optional<std::vector<CashFlow>>& flows) {
  const std::optional<double> rate = flows ? Xirr(*flows) : std::nullopt;
  if (!rate || !(std::abs(*rate) < kLargestRate)) return "--";
  return RateText(std::llround(*rate * 10000));
}

void WriteFigures(ui::Grid& grid, int row, const RowFigures& figures,
                  const std::optional<std::vector<CashFlow>>& flows) {
  WriteMoney(grid, row, app::kPosCost, figures.cost, false);
  WriteMoney(grid, row, app::kPosTodayProfit, figures.today_profit, true);
  WriteMoney(grid, row, app::kPosHeldProfit, figures.held_profit, true);
  grid.SetText(row, app::kPosRate, figures.rate ? RateText(*figures.rate) : "");
  WriteMoney(grid, row, app::kPosDividends, figures.dividends, false);
  grid.SetText(row, app::kPosAnnualReturn, AnnualReturnText(flows));
}

// The total of every account's funds held.
RowFigures TotalFigures(const State& state) {
  std::vector<RowFigures> rows;
  for (const Position& position : state.all_replayed) {
    if (position.shares > 0) rows.push_back(FiguresOf(position, QuoteOf(state, position.code)));
  }
  return TotalOf(rows);
}

}  // namespace

void SetBook(State& state, Book book) {
  state.book = std::move(book);
  // An account deleted meanwhile leaves all of them shown.
  if (std::none_of(state.book.accounts.begin(), state.book.accounts.end(),
                   [&](const Account& a) { return a.id == state.account; })) {
    state.account = 0;
  }
  const std::vector<Record> records = AccountRecords(state);
  state.replayed = Replay(records);
  state.all_replayed = state.account == 0 ? state.replayed : Replay(state.book.records);
  std::map<std::string, std::vector<Record>> by_fund;
  for (const Record& record : records) by_fund[record.code].push_back(record);
  state.record_flows.clear();
  for (const auto& [code, own] : by_fund) state.record_flows[code] = RecordFlows(own);
  state.record_flows[""] = RecordFlows(records);
}

std::int64_t NewAccount(const State& state) {
  return state.account != 0 ? state.account : kDefaultAccount;
}

Position PositionIn(const State& state, const std::string& code, std::int64_t account) {
  std::vector<Record> own;
  for (const Record& record : state.book.records) {
    if (record.code == code && record.account == account) own.push_back(record);
  }
  const std::vector<Position> positions = Replay(own);
  return positions.empty() ? Position{code, ""} : positions.front();
}

std::int64_t AccountFor(const State& state, const std::string& code) {
  if (state.account != 0) return state.account;
  if (PositionIn(state, code, kDefaultAccount).shares > 0) return kDefaultAccount;
  for (const Account& account : state.book.accounts) {
    if (PositionIn(state, code, account.id).shares > 0) return account.id;
  }
  return kDefaultAccount;
}

std::vector<Record> AccountRecords(const State& state) {
  if (state.account == 0) return state.book.records;
  std::vector<Record> records;
  for (const Record& record : state.book.records) {
    if (record.account == state.account) records.push_back(record);
  }
  return records;
}

std::vector<PendingTrade> AccountTrades(const State& state) {
  std::vector<PendingTrade> trades;
  for (const PendingTrade& pending : state.book.trades) {
    if (state.account == 0 || pending.trade.account == state.account) trades.push_back(pending);
  }
  return trades;
}

void ShowAccounts(app::App& app, const State& state) {
  ui::ChoiceBox& box = app.positions_window().账户框;
  std::vector<std::string> names = {"全部账户"};
  int chosen = 0;
  for (const Account& account : state.book.accounts) {
    if (account.id == state.account) chosen = static_cast<int>(names.size());
    names.push_back(account.name);
  }
  if (names != box.Items()) box.SetItems(names);
  box.SetCurrent(chosen);
}

std::vector<Position> Held(const State& state) {
  std::vector<Position> held;
  for (const Position& position : state.replayed) {
    if (position.shares > 0) held.push_back(position);
  }
  return held;
}

const Quote* QuoteOf(const State& state, const std::string& code) {
  const auto it = state.quotes.find(code);
  return it == state.quotes.end() ? nullptr : &it->second;
}

void ShowMainCaption(app::App& app, const State& state) {
  std::string caption;
  if (std::any_of(state.all_replayed.begin(), state.all_replayed.end(),
                  [](const Position& p) { return p.shares > 0; })) {
    caption =
        "当日收益 " + base::FormatScaled(TotalFigures(state).today_profit.value_or(0), 2, true);
  }
  app.main_window().持仓标签.SetCaption(caption);
  app.notifier().SetTrayToolTip(caption);
}

void ShowPositions(app::App& app, State& state) {
  // A settlement that ends after the window closed keeps its book; the closed window stays as
  // designed until it opens again.
  if (!app.positions_window().Loaded()) {
    ShowMainCaption(app, state);
    for (const std::function<void()>& shown : state.on_book_shown) shown();
    return;
  }
  ui::Grid& grid = app.positions_window().持仓表格;
  const std::vector<Position> held = Held(state);
  const int selected = grid.CurrentRow();
  const std::string selected_code = selected > 0 ? grid.Text(selected, app::kPosCode) : "";
  grid.SetRowCount(static_cast<int>(held.size()) + 2);
  const auto flows = [&state](const std::string& code) {
    const auto it = state.record_flows.find(code);
    return WithValues(it == state.record_flows.end() ? std::nullopt : it->second, state.replayed,
                      state.quotes, code);
  };
  std::vector<RowFigures> all;
  for (size_t i = 0; i < held.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    const Position& position = held[i];
    const Quote* quote = QuoteOf(state, position.code);
    const RowFigures figures = FiguresOf(position, quote);
    all.push_back(figures);
    grid.SetText(row, app::kPosName, position.name);
    grid.SetText(row, app::kPosCode, position.code);
    grid.SetText(row, app::kPosShares, base::FormatScaled(position.shares, kShareDecimals));
    grid.SetText(row, app::kPosCostPrice,
                 figures.cost_price ? base::FormatScaled(*figures.cost_price, kPriceDecimals) : "");
    grid.SetText(row, app::kPosNav, quote ? quote->unit_nav : "");
    grid.SetText(row, app::kPosNavDate, quote ? quote->nav_date : "");
    grid.SetText(row, app::kPosDayChange, quote ? quote->day_change : "");
    WriteFigures(grid, row, figures, flows(position.code));
  }
  const int total_row = static_cast<int>(held.size()) + 1;
  for (int column = 0; column < app::kPositionsColumnCount; ++column) {
    grid.SetText(total_row, column, "");
    grid.SetTextColour(total_row, column, ui::kDefaultTextColour);
  }
  grid.SetText(total_row, app::kPosName, "合计");
  // The total's annual return counts every flow, of sold-out funds too.
  WriteFigures(grid, total_row, TotalOf(all), flows(""));
  // The selection follows its fund when rows came or went before it.
  int reselect = -1;
  for (size_t i = 0; i < held.size(); ++i) {
    if (held[i].code == selected_code) reselect = static_cast<int>(i) + 1;
  }
  grid.SetCurrentRow(reselect);
  ShowAccounts(app, state);
  ShowTrades(app, state);
  ShowStatus(app, state);
  ShowMainCaption(app, state);
  for (const std::function<void()>& shown : state.on_book_shown) shown();
}

std::string ChosenCode(app::App& app, const State& state) {
  const ui::Grid& grid = app.positions_window().持仓表格;
  const int row = grid.CurrentRow();
  const int held = static_cast<int>(Held(state).size());
  return row >= 1 && row <= held ? grid.Text(row, app::kPosCode) : std::string();
}

void ShowTrades(app::App& app, State& state) {
  app::PositionsWindow& window = app.positions_window();
  ui::Grid& grid = window.交易表格;
  const std::string code = ChosenCode(app, state);
  // The selection follows its trade or record; one that is gone leaves none.
  const int selected = grid.CurrentRow();
  const State::TradeRow chosen =
      selected >= 1 && selected <= static_cast<int>(state.trade_rows.size())
          ? state.trade_rows[static_cast<size_t>(selected - 1)]
          : State::TradeRow{-1, {}};
  state.trade_rows.clear();
  const std::vector<PendingTrade> trades = AccountTrades(state);
  for (const PendingTrade& pending : trades) state.trade_rows.push_back({pending.id, {}});
  std::vector<Record> records;
  for (const Record& record : AccountRecords(state)) {
    if (record.code == code) records.push_back(record);
  }
  records = InDayOrder(std::move(records));
  for (auto it = records.rbegin(); it != records.rend(); ++it) state.trade_rows.push_back({0, *it});
  grid.SetRowCount(static_cast<int>(state.trade_rows.size()) + 1);
  for (int row = 1; row <= static_cast<int>(state.trade_rows.size()); ++row) {
    std::array<std::string, app::kTradesColumnCount> texts;
    ui::Colour colour = ui::kDefaultTextColour;
    const State::TradeRow& shown = state.trade_rows[static_cast<size_t>(row - 1)];
    if (shown.trade != 0) {
      const PendingTrade& pending = trades[static_cast<size_t>(row - 1)];
      const Trade& trade = pending.trade;
      // A bill's sale by its proceeds shows them, its shares being worked out when it confirms.
      const bool by_shares = trade.sell && trade.shares != 0;
      texts = {trade.day + (trade.after_close ? " 15点后" : ""),
               trade.name,
               trade.code,
               trade.plan != 0 ? "定投"
               : by_shares     ? "按份额卖出"
               : trade.sell    ? "按金额卖出"
                               : "按金额买入",
               by_shares ? "" : base::FormatScaled(trade.amount, 2),
               by_shares ? base::FormatScaled(trade.shares, kShareDecimals) : "",
               "",
               "",
               trade.fee_rate == kFundFeeRate ? (trade.sell ? "0.00%" : "基金费率")
                                              : base::ScaledText(trade.fee_rate, 4, 2) + "%",
               pending.message.empty() ? "待确认" : pending.message};
      if (!pending.message.empty()) colour = kProfitRed;
    } else {
      const Record& record = shown.record;
      static constexpr const char* kKinds[] = {"买入", "卖出", "现金分红", "红利再投", "拆分"};
      const std::int64_t flow = CashFlowOf(record);
      const bool split = record.kind == RecordKind::kSplit;
      texts = {record.day,
               record.name,
               record.code,
               kKinds[static_cast<int>(record.kind)],
               flow != 0 ? base::FormatScaled(flow < 0 ? -flow : flow, 2) : "",
               split           ? "×" + base::ScaledText(record.ratio, kRatioDecimals, 4)
               : record.shares ? base::FormatScaled(record.shares, kShareDecimals)
                               : "",
               record.price ? base::FormatScaled(record.price, kPriceDecimals) : "",
               record.fee ? base::FormatScaled(record.fee, 2) : "",
               "",
               record.from_history ? "程序按净值历史记录"
               : record.plan != 0  ? "定投 " + record.period
                                   : "已确认"};
    }
    for (int column = 0; column < app::kTradesColumnCount; ++column) {
      grid.SetText(row, column, texts[static_cast<size_t>(column)]);
      grid.SetTextColour(row, column, colour);
    }
  }
  int reselect = -1;
  for (size_t i = 0; i < state.trade_rows.size(); ++i) {
    const State::TradeRow& row = state.trade_rows[i];
    if (row.trade == chosen.trade && row.record.id == chosen.record.id) {
      reselect = static_cast<int>(i) + 1;
    }
  }
  grid.SetCurrentRow(reselect);
  const auto mode = state.book.modes.find(code);
  window.分红方式框.SetCurrent(code.empty() ? -1
                                            : mode != state.book.modes.end() &&
                                                  mode->second == DividendMode::kReinvest);
}

void ShowStatus(app::App& app, const State& state) {
  std::vector<std::string> parts;
  if (!state.progress.empty()) parts.push_back(state.progress);
  if (const std::vector<PendingTrade> trades = AccountTrades(state); !trades.empty()) {
    std::int64_t money = 0;
    for (const PendingTrade& pending : trades) money += pending.trade.amount;
    parts.push_back(base::IntToText(static_cast<long long>(trades.size())) + "笔交易待确认，共" +
                    base::FormatScaled(money, 2) + "元");
  }
  int unrefreshed = 0;
  for (const Position& position : Held(state)) {
    unrefreshed += !FiguresOf(position, QuoteOf(state, position.code)).held_profit;
  }
  if (unrefreshed > 0) {
    parts.push_back(base::IntToText(unrefreshed) + "支基金未刷新，合计收益仅含已刷新的基金");
  }
  if (!state.damage_notice.empty()) parts.push_back(state.damage_notice);
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "；") + part;
  app.positions_window().持仓状态.SetCaption(text);
}

}  // namespace positions
