#pragma once

// The 定投 plans window's handlers: the plans of the ledger with what each has bought, and a
// plan added, changed, paused, resumed or deleted. Internal to the feature; UI thread.

#include "app/app.h"
#include "positions/positions_view.h"

namespace positions {

inline constexpr char kNoPlanRowText[] = "请选择要操作的定投计划";
inline constexpr char kPlanStartTooEarlyText[] = "开始日期不能早于1990-01-01";

// Attaches the handlers of the plans window and of 定投计划钮, and keeps the window's grid
// following every book the positions window shows.
void InstallPlans(app::App& app, State& state);

}  // namespace positions
