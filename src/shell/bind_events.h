#pragma once

#include <memory>

#include "alerts/alerts.h"
#include "analysis/risk_window.h"
#include "app/app.h"
#include "chart/yield_chart.h"
#include "funds/funds.h"
#include "navchart/nav_chart.h"
#include "positions/positions.h"
#include "tools/side_tools.h"

namespace shell {

// The features, made over the App when their events are bound; each owns its state. Made after
// the App and so gone before it: the loads still running end first, since a worker may be
// using a feature's state.
struct Features {
  Features() = default;
  Features(const Features&) = delete;
  Features& operator=(const Features&) = delete;
  ~Features();

  // Made when the events are bound, over the App they serve.
  std::unique_ptr<funds::Funds> funds;
  std::unique_ptr<chart::YieldChart> yield_chart;
  std::unique_ptr<analysis::RiskWindow> risk_window;
  std::unique_ptr<tools::SideTools> side_tools;
  std::unique_ptr<positions::Positions> positions;
  std::unique_ptr<alerts::Alerts> alerts;
  app::App* app = nullptr;
  std::unique_ptr<navchart::NavChart> nav_chart;
};

// Attaches every control, menu and window event of the four windows to its handler: the
// shell's own (start-up, end of the process, the check boxes, the side and support windows,
// the page panel's close mark, the pop-up menus) and each feature's. A feature adds one
// Install call below the shell's own, to a function of its module that attaches its handlers
// and adds its start-up steps with App::AddStartupStep.
void BindEvents(app::App& app, Features& features);

}  // namespace shell
