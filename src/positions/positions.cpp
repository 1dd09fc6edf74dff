#include "positions/positions.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "app/load.h"
#include "base/decimal.h"
#include "base/encoding.h"
#include "base/text.h"
#include "export/export_handler.h"
#include "export/grid_export.h"
#include "portal/fund_page.h"
#include "portal/fund_search.h"
#include "positions/accounts.h"
#include "positions/analysis_window.h"
#include "positions/backup.h"
#include "positions/entry.h"
#include "positions/fund_history.h"
#include "positions/import_window.h"
#include "positions/ledger.h"
#include "positions/plans_window.h"
#include "positions/positions_store.h"
#include "positions/positions_view.h"
#include "positions/trading.h"
#include "script/json_object.h"

namespace positions {

namespace {

void LoadOnce(State& state) {
  if (state.loaded) return;
  SetBook(state, state.store.ReadBook());
  state.quotes = state.store.Quotes();
  state.loaded = state.store.Ready();
}

// A damaged file found and mended is told once, the first time the window opens after it.
void TellDamage(app::App& app, State& state) {
  const std::string notice = state.store.DamageNotice();
  if (notice.empty()) return;
  state.store.ForgetDamageNotice();
  state.damage_notice = notice;
  ShowStatus(app, state);
  app.dialogs().MessageBox(notice);
}

void OnBuy(app::App& app, State& state) {
  if (state.searching) return;
  LoadOnce(state);
  const std::optional<std::string> code_read = ReadCode(app);
  if (!code_read) return;
  const std::string& code = *code_read;
  std::optional<Record> record = ReadEntry(app, true);
  if (!record) return;
  if (record->fee > Amount(record->shares, record->price)) {
    app.dialogs().MessageBox(kFeeAboveCostText);
    return;
  }
  record->code = code;
  record->kind = RecordKind::kBuy;
  for (const Position& position : Held(state)) {
    if (position.code == code) record->name = position.name;
  }
  if (record->name.empty() && code == state.offered_code) record->name = state.offered_name;
  if (!record->name.empty()) {
    Keep(app, state, *record);
    return;
  }
  // The buy waits for the name; another buy meanwhile is ignored, as the button shows nothing.
  state.searching = true;
  auto ended = [&state] { state.searching = false; };
  app::StartLoad(
      app, app.loads().Current(app::LoadTarget::kPositions),
      [&app, code] { return portal::FetchFundName(app.portal(), code, &app.transfers()); },
      [&app, &state, record = *record, ended](const std::optional<std::string>& name) mutable {
        ended();
        if (!name || name->empty()) {
          app.dialogs().MessageBox(kNotFoundText + record.code);
          return;
        }
        record.name = *name;
        Keep(app, state, record);
      },
      ended);
}

// The held fund of the selected row, or nothing (and the refusal shown).
std::optional<Position> SelectedPosition(app::App& app, const State& state) {
  const int row = app.positions_window().持仓表格.CurrentRow();
  const std::vector<Position> held = Held(state);
  if (row < 1 || row > static_cast<int>(held.size())) {
    app.dialogs().MessageBox(kNoRowText);
    return std::nullopt;
  }
  return held[row - 1];
}

void OnSell(app::App& app, State& state) {
  LoadOnce(state);
  const std::optional<Position> position = SelectedPosition(app, state);
  if (!position) return;
  std::optional<Record> record = ReadEntry(app, true);
  if (!record) return;
  record->account = AccountFor(state, position->code);
  const std::int64_t held = PositionIn(state, position->code, record->account).shares;
  if (record->shares > held) {
    app.dialogs().MessageBox("卖出份额超过持有份额（持有" +
                             base::FormatScaled(held, kShareDecimals) + "份）");
    return;
  }
  if (record->fee > Amount(record->shares, record->price)) {
    app.dialogs().MessageBox(kFeeAboveProceedsText);
    return;
  }
  record->code = position->code;
  record->name = position->name;
  record->kind = RecordKind::kSell;
  Keep(app, state, *record);
}

// A dividend of the fund in 代码框, which must be held: `read` gives the rest of the record.
template <class Read>
void OnDividend(app::App& app, State& state, Read read) {
  LoadOnce(state);
  const std::optional<std::string> code = ReadCode(app);
  if (!code) return;
  std::optional<Record> record = read();
  if (!record) return;
  const std::vector<Position> held = Held(state);
  const auto position =
      std::find_if(held.begin(), held.end(), [&](const Position& p) { return p.code == *code; });
  record->account = AccountFor(state, *code);
  if (position == held.end() || PositionIn(state, *code, record->account).shares <= 0) {
    app.dialogs().MessageBox(kNotHeldText);
    return;
  }
  record->code = position->code;
  record->name = position->name;
  Keep(app, state, *record);
}

void OnCashDividend(app::App& app, State& state) {
  OnDividend(app, state, [&app] { return ReadDividend(app); });
}

// Shares from 份额框 at the NAV in 净值框, bought with the dividend.
void OnReinvest(app::App& app, State& state) {
  OnDividend(app, state, [&app] {
    std::optional<Record> record = ReadEntry(app, false);
    if (record) record->kind = RecordKind::kReinvest;
    return record;
  });
}

void OnDelete(app::App& app, State& state) {
  LoadOnce(state);
  const std::optional<Position> position = SelectedPosition(app, state);
  if (!position) return;
  if (!app.dialogs().AskYesNo("确定删除" + position->name + "的全部持仓记录吗？")) return;
  if (!state.store.RemoveFund(position->code, state.account)) {
    app.dialogs().MessageBox(kCannotSaveText);
    return;
  }
  AfterWrite(app, state);
}

// What one fund's main page gave: a quote when the answer arrived whole and carried the NAV;
// and its NAV history is kept fresh, for the trades waiting on it. On a worker.
std::optional<Quote> FetchQuote(app::App& app, const std::string& code) {
  FetchFundHistory(app, code, false);
  const std::optional<portal::FundSummary> summary =
      portal::FetchFundSummary(app.portal(), code, &app.transfers());
  if (!summary || summary->unit_nav.empty()) return std::nullopt;
  return Quote{summary->unit_nav, summary->nav_date, summary->day_change};
}

// One refresh: the funds held, waiting for a trade or in a plan asked one after the other, each
// shown as it arrives; then the ledger is settled against their histories.
struct Refresh {
  size_t total = 0;
  size_t ended = 0;
  std::vector<std::string> failed;  // names
};

// The refresh's time is kept on a worker, then shown with the funds that failed.
void EndRefresh(app::App& app, State& state, const app::LoadTicket& ticket, const Refresh& r) {
  std::string text = "已刷新 " + base::DateTimeText(app.clock().Now());
  std::string shown = text;
  if (!r.failed.empty()) {
    std::string names;
    for (const std::string& name : r.failed) names += (names.empty() ? "" : "、") + name;
    shown += "（" + names + "刷新失败）";
  }
  app::StartLoad(
      app, ticket,
      [&state, text] {
        state.store.SaveRefreshTime(text);
        return true;
      },
      [&app, &state, shown](bool) {
        state.progress = shown;
        ShowStatus(app, state);
        SettleLedger(app, state);
      });
}

void OnRefresh(app::App& app, State& state) {
  LoadOnce(state);
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kPositions);
  using Fund = std::pair<std::string, std::string>;  // code, name
  std::vector<Fund> funds;
  for (const Position& position : Held(state)) funds.emplace_back(position.code, position.name);
  const auto add = [&funds](const std::string& code, const std::string& name) {
    for (const Fund& fund : funds) {
      if (fund.first == code) return;
    }
    funds.emplace_back(code, name);
  };
  for (const PendingTrade& pending : state.book.trades) add(pending.trade.code, pending.trade.name);
  for (const Plan& plan : state.book.plans) add(plan.code, plan.name);
  auto refresh = std::make_shared<Refresh>();
  refresh->total = funds.size();
  const std::string total = base::IntToText(static_cast<long long>(funds.size()));
  state.progress = "刷新中 0/" + total;
  ShowStatus(app, state);
  // A newer refresh or the closed window ends this one before its next request. A quote is kept
  // in the ledger as it arrives, on the worker; the next start shows the same caption.
  app::LoadEach(
      app, ticket, std::move(funds), 1,
      [&app, &state](const Fund& fund) {
        std::optional<Quote> quote = FetchQuote(app, fund.first);
        if (quote) state.store.SaveQuote(fund.first, *quote);
        return quote;
      },
      [&app, &state, refresh, total](const Fund& fund, const std::optional<Quote>& quote) {
        ++refresh->ended;
        if (quote) {
          state.quotes[fund.first] = *quote;
        } else {
          refresh->failed.push_back(fund.second);
        }
        state.progress =
            "刷新中 " + base::IntToText(static_cast<long long>(refresh->ended)) + "/" + total;
        ShowPositions(app, state);
      },
      [&app, &state, refresh, ticket](bool completed) {
        if (completed) EndRefresh(app, state, ticket, *refresh);
      });
}

void OnExport(app::App& app) {
  exporter::ExportGrid(nullptr, &app.positions_window().持仓表格,
                       PositionsWorkbookPath(app).string(), app.dialogs());
}

// 菜单's third item: the current fund row's code and name go to the positions window.
void OnAddFromFundGrid(app::App& app, State& state, const std::optional<app::FundRef>& fund) {
  app.positions_window().Show();
  if (!fund) return;
  state.offered_code = fund->code;
  state.offered_name = fund->name;
  app.positions_window().代码框.SetText(state.offered_code);
}

}  // namespace

bool ValidDay(const std::string& text, const base::DateTime& today) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  const int year = std::stoi(text.substr(0, 4));
  const int month = std::stoi(text.substr(5, 2));
  const int day = std::stoi(text.substr(8, 2));
  if (year < 1900 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int lengths[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (day > lengths[month - 1]) return false;
  return std::make_tuple(year, month, day) <= std::make_tuple(today.year, today.month, today.day);
}

std::filesystem::path PositionsWorkbookPath(app::App& app) {
  return exporter::TodaysWorkbookPath(app).parent_path() /
         (kWorkbookPrefix + exporter::TodaysDateText(app) + ".xls");
}

bool IsPositionsWorkbookName(std::string_view name) {
  return name.starts_with(kWorkbookPrefix) &&
         exporter::IsWorkbookName(name.substr(std::string_view(kWorkbookPrefix).size()));
}

std::filesystem::path LedgerPath(const app::AppPaths& paths) {
  return paths.data_dir.empty() ? std::filesystem::path() : paths.data_dir / "positions.sqlite3";
}

Positions::Positions(app::App& app)
    : app_(app), state_(std::make_unique<State>(LedgerPath(app.paths()))) {}

Positions::~Positions() = default;

PositionsStore& Positions::store() { return state_->store; }

void Positions::Install() {
  app::App& app = app_;
  State& state = *state_;
  app::PositionsWindow& window = app.positions_window();
  window.on_created = [&app, &state] {
    LoadOnce(state);
    ShowPositions(app, state);
    TellDamage(app, state);
    OnRefresh(app, state);
  };
  window.on_destroyed = [&app] {
    app.loads().Invalidate(app::LoadTarget::kPositions);
    app.loads().Invalidate(app::LoadTarget::kTradeEntry);
  };
  window.买入钮.on_click = [&app, &state] { OnBuy(app, state); };
  window.卖出钮.on_click = [&app, &state] { OnSell(app, state); };
  window.删除持仓钮.on_click = [&app, &state] { OnDelete(app, state); };
  window.现金分红钮.on_click = [&app, &state] { OnCashDividend(app, state); };
  window.红利再投钮.on_click = [&app, &state] { OnReinvest(app, state); };
  window.刷新持仓钮.on_click = [&app, &state] { OnRefresh(app, state); };
  window.按金额买入钮.on_click = [&app, &state] { OnBuyByAmount(app, state); };
  window.按份额卖出钮.on_click = [&app, &state] { OnSellByShares(app, state); };
  window.删除交易钮.on_click = [&app, &state] { OnDeleteTrade(app, state); };
  window.分红方式框.on_changed = [&app, &state] { OnDividendMode(app, state); };
  window.持仓表格.on_cell_event = [&app, &state](int, int) { ShowTrades(app, state); };
  InstallAccounts(app, state);
  window.导出持仓钮.on_click = [&app] { OnExport(app); };
  InstallPlans(app, state);
  InstallBackup(app, state);
  InstallAnalysis(app, state);
  InstallImport(app, state);
  app.main_window().持仓钮.on_click = [&app] { app.positions_window().Show(); };
  app.main_window().菜单.Item(2).on_click = [&app, &state] {
    OnAddFromFundGrid(app, state, app.MenuFund());
  };
  // The plans' periods missed while the program was not running are made at its start, and
  // what the kept histories confirm, without a request; then 持仓标签 shows today's profit.
  // The caption follows once the ledger is read, on a worker.
  app.AddStartupStep(app::StartupPhase::kWatchlist,
                     [&state](app::App& started) { SettleLedger(started, state); });
}

}  // namespace positions
