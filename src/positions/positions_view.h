#pragma once

// What the positions feature remembers between events, and how it shows it: the window's grid
// with its 合计 row, its status line 持仓状态 and the main window's today's-profit caption.
// Internal to the feature; touched on the UI thread only.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/app.h"
#include "positions/ledger.h"
#include "positions/positions_store.h"

namespace positions {

struct State {
  explicit State(std::filesystem::path path) : store(std::move(path)) {}
  PositionsStore store;
  bool loaded = false;
  std::vector<Record> records;
  std::map<std::string, Quote> quotes;
  // The code and name "加入持仓" put into 代码框: a buy of that code needs no search.
  std::string offered_code;
  std::string offered_name;
  // A buy waits for the search: another click of 买入 meanwhile would record the buy twice.
  bool searching = false;
  // 持仓状态's own text (the refresh's progress or result) and the damaged file's notice, shown
  // after it for the rest of the run once the user has seen it.
  std::string progress;
  std::string damage_notice;
};

// The funds held (shares above 0), in the order first bought.
std::vector<Position> Held(const State& state);
const Quote* QuoteOf(const State& state, const std::string& code);

// The grid as the state stands: one row per held fund, then 合计; then the captions below.
void ShowPositions(app::App& app, const State& state);
// 持仓状态: the progress, then "n支基金未刷新，合计收益仅含已刷新的基金" when n held funds have no
// figures yet, then the damage notice, joined by "；".
void ShowStatus(app::App& app, const State& state);
// 持仓标签: "当日收益 " + today's profit of the funds held, empty when none are.
void ShowMainCaption(app::App& app, const State& state);

}  // namespace positions
