#pragma once

#include <memory>

#include "app/app.h"
#include "chart/line_chart.h"
#include "chart/yield_comparison.h"
#include "funds/funds.h"
#include "navchart/nav_chart.h"
#include "tools/side_tools.h"

namespace shell {

// The features' long-lived state, owned by the program beside its App and handed to the
// features that use it when their events are bound.
struct Features {
  // The main window's chart: drawn by the yield comparison, read out under the mouse.
  chart::LineChart line_chart;
  chart::ComparisonState comparison;
  // Made when the events are bound, over the App they serve.
  std::unique_ptr<funds::Funds> funds;
  std::unique_ptr<tools::SideTools> side_tools;
  std::unique_ptr<navchart::NavChart> nav_chart;
};

// Attaches every control, menu and window event of the four windows to its handler: the
// shell's own (start-up, end of the process, the check boxes, the side and support windows,
// the page panel's close mark, the pop-up menus) and each feature's. A feature adds one
// Install call below the shell's own, to a function of its module that attaches its handlers
// and adds its start-up steps with App::AddStartupStep. `features` must outlive the App's
// windows.
void BindEvents(app::App& app, Features& features);

}  // namespace shell
