#pragma once

// The positions window's trades by amount and by shares, its grid of trades and 分红方式, and
// the ledger settled against the funds' kept histories (settle.h) on a worker. Internal to the
// feature; UI thread.

#include <map>
#include <string>

#include "app/app.h"
#include "base/nav_history.h"
#include "positions/positions_view.h"

namespace positions {

inline constexpr char kBeforeFirstNavText[] = "日期早于基金的第一个净值日";
inline constexpr char kNoTradeRowText[] = "请选择要删除的交易";

// The kept histories of every fund the ledger names; on a worker, no request.
std::map<std::string, base::NavHistory> KeptHistories(app::App& app, State& state);

// Today as YYYY-MM-DD.
std::string TodayText(app::App& app);

// Settles the ledger against the kept histories on a worker (no request) and shows the book it
// leaves; the newest settlement wins.
void SettleLedger(app::App& app, State& state);
// After a write on the UI thread: the book read again and shown, then settled.
void AfterWrite(app::App& app, State& state);

void OnBuyByAmount(app::App& app, State& state);
void OnSellByShares(app::App& app, State& state);
void OnDeleteTrade(app::App& app, State& state);
void OnDividendMode(app::App& app, State& state);

}  // namespace positions
