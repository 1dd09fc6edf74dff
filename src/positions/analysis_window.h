#pragma once

// The 收益分析 window's handlers: the analysis of the chosen account's records over the kept NAV
// histories, computed on a worker when the window opens and again for every book the positions
// window shows while it is open; the summary, the calendar of a month, the monthly returns and
// the chart of 总资产 and 投入本金. Internal to the feature; UI thread.

#include "app/app.h"
#include "positions/positions_view.h"

namespace positions {

inline constexpr char kAnalysingText[] = "正在计算……";
inline constexpr char kNoRecordsText[] = "没有记录";

// Attaches the handlers of the window and of 收益分析钮, and keeps the window following every book
// the positions window shows.
void InstallAnalysis(app::App& app, State& state);

}  // namespace positions
