#pragma once

// The one context object every handler receives: where the program's files are, the
// four windows and the services (message boxes, the UI thread,
// the clock, the control of network transfers, the worker registry). Tests build one over a
// temporary directory with recording dialogs, a manual UI thread and a fixed clock.

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/alerts_window.h"
#include "app/analysis_window.h"
#include "app/app_paths.h"
#include "app/board_window.h"
#include "app/config_file.h"
#include "app/figures_window.h"
#include "app/import_window.h"
#include "app/main_window.h"
#include "app/nav_chart_window.h"
#include "app/newest_wins.h"
#include "app/plans_window.h"
#include "app/positions_window.h"
#include "app/shown_funds.h"
#include "app/side_windows.h"
#include "net/portal.h"
#include "net/transfer_control.h"
#include "store/cache.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/notifier.h"
#include "ui/ui_thread.h"
#include "ui/workers.h"

namespace app {

class App;

// The phases of the start-up sequence, in the order they run. A feature adds its work to a
// phase; on a first start (no settings file yet) the phases after kSeedSettings and before
// kRankingList are skipped, since there are no saved settings to act on.
enum class StartupPhase {
  kBoardFresh,    // the board list counts as freshly clicked
  kSeedSettings,  // a missing settings file is seeded
  kSideTools,     // the side-tools window loaded unseen, the daily tasks, their results
  kCheckBoxes,    // the two check boxes restored
  kRankingList,   // the ranking list chosen last
  kWatchlist,     // the watchlist refilled
  kGuardFile,     // the download guard file seeded
  kAlerts,        // the first check of the alerts, once everything else has started
};

struct StartupStep {
  StartupPhase phase = StartupPhase::kBoardFresh;
  std::function<void(App&)> run;
};

class App {
 public:
  // Without a notifier the program has no notification service and no tray.
  App(AppPaths paths, ui::Dialogs& dialogs, ui::UiThread& ui, ui::Clock& clock,
      ui::Notifier* notifier = nullptr);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  const AppPaths& paths() const { return paths_; }
  // The settings file in the run directory, read and written at every call.
  ConfigFile config() const;

  // The portal's base URLs: the built-in ones, each overridden by the settings file's
  // section 门户 as it was when the program started.
  const net::PortalUrls& portal() const { return portal_; }

  ui::Dialogs& dialogs() { return dialogs_; }
  ui::UiThread& ui() { return ui_; }
  ui::Clock& clock() { return clock_; }
  // The desktop's notifications and the tray icon.
  ui::Notifier& notifier() { return *notifier_; }
  // The control every request of the program runs under: requests on the thread that made the
  // App are refused, and the worker registry's stop asks transfers to end.
  net::TransferControl& transfers() { return transfers_; }
  ui::Workers& workers() { return workers_; }
  // The local cache (last good answers, today's download details); off when its file cannot be
  // used, which changes nothing else.
  store::Cache& cache() { return cache_; }

  MainWindow& main_window() { return main_window_; }
  BoardWindow& board_window() { return board_window_; }
  SideToolsWindow& side_tools_window() { return side_tools_window_; }
  SupportWindow& support_window() { return support_window_; }
  PositionsWindow& positions_window() { return positions_window_; }
  AlertsWindow& alerts_window() { return alerts_window_; }
  PlansWindow& plans_window() { return plans_window_; }
  AnalysisWindow& analysis_window() { return analysis_window_; }
  ImportWindow& import_window() { return import_window_; }
  FiguresWindow& figures_window() { return figures_window_; }
  NavChartWindow& nav_chart_window() { return nav_chart_window_; }

  // Which load of each target is the newest (see newest_wins.h).
  LoadGenerations& loads() { return loads_; }

  // The funds the fund grid shows, written by the fund lists.
  ShownFunds& shown_funds() { return shown_funds_; }
  // What the fund grid's menu hands its items: the fund of the grid's current row; nothing when
  // no data row is current, an empty fund for a row no list wrote.
  std::optional<FundRef> MenuFund();

  // Work features add to a phase of the start-up sequence; within a phase it runs after the
  // shell's own work, in the order added.
  void AddStartupStep(StartupPhase phase, std::function<void(App&)> run);
  const std::vector<StartupStep>& startup_steps() const { return startup_steps_; }

 private:
  AppPaths paths_;
  net::PortalUrls portal_;
  ui::Dialogs& dialogs_;
  ui::UiThread& ui_;
  ui::Clock& clock_;
  ui::NoNotifier no_notifier_;
  ui::Notifier* notifier_;
  MainWindow main_window_;
  BoardWindow board_window_;
  SideToolsWindow side_tools_window_;
  SupportWindow support_window_;
  PositionsWindow positions_window_;
  AlertsWindow alerts_window_;
  PlansWindow plans_window_;
  AnalysisWindow analysis_window_;
  ImportWindow import_window_;
  FiguresWindow figures_window_;
  NavChartWindow nav_chart_window_;
  LoadGenerations loads_;
  ShownFunds shown_funds_;
  std::vector<StartupStep> startup_steps_;
  net::TransferControl transfers_;
  store::Cache cache_;
  // Last member: destroyed first, so workers are joined while everything they might touch
  // is still alive.
  ui::Workers workers_;
};

}  // namespace app
