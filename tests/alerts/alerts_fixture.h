#pragma once

// The program with its positions and alerts installed, over the folders of one temporary
// directory, against the simulated portal; the desktop is any notifier the test gives.

#include <chrono>
#include <memory>

#include "alerts/alert_rules.h"
#include "alerts/alerts.h"
#include "app/app_fixture.h"
#include "positions/positions.h"
#include "sim/server.h"

namespace alerts_test {

struct AlertsProgram {
  AlertsProgram(const std::filesystem::path& root, ui::Notifier* notifier)
      : app(app_test::TestPaths(root), dialogs, ui, clock, notifier) {
    positions::InstallPositions(app);
    alerts::InstallAlerts(app);
  }
  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui;
  test_support::FixedClock clock{base::DateTime{2021, 8, 8, 9, 5, 3}};
  app::App app;

  void RunStartupSteps() {
    for (const app::StartupStep& step : app.startup_steps()) step.run(app);
  }
  // Runs posted work until no load is under way; the timers stay where they are. `also` runs
  // between rounds (a Qt event loop's turn).
  void Drain(const std::function<void()>& also = {}) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    do {
      ui.PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
      if (also) also();
    } while (app.loads().InFlight() > 0 && std::chrono::steady_clock::now() < deadline);
    ui.PumpEvents();
  }
  void AddRule(const std::string& code, const std::string& condition,
               const std::string& threshold) {
    app::AlertsWindow& window = app.alerts_window();
    window.提醒代码框.SetText(code);
    window.条件框.Choose(static_cast<int>(*alerts::ConditionOf(condition)));
    window.阈值框.SetText(threshold);
    window.添加提醒钮.Click();
    Drain();
  }
};

// The simulated portal, with `funds` funds.
inline std::unique_ptr<sim::PortalSim> StartPortal(const std::filesystem::path& root,
                                                   int funds = 20) {
  sim::PortalSimOptions options;
  options.market.funds = funds;
  auto portal = std::make_unique<sim::PortalSim>(options);
  if (portal->Start() <= 0) return nullptr;
  app_test::PointPortalAt(root, portal->BaseUrl());
  return portal;
}

inline size_t MainPageRequests(sim::PortalSim& portal) {
  size_t count = 0;
  for (const sim::RecordedRequest& request : portal.requests().Snapshot()) {
    const std::string& path = request.path;
    count += path.size() >= 12 && path.compare(7, 5, ".html") == 0 &&
             path.find_first_not_of("0123456789", 1) == 7;
  }
  return count;
}

}  // namespace alerts_test
