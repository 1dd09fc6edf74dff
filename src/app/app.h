#pragma once

// The one context object every handler receives: where the program's files are, the
// program-wide globals, the four windows and the services (message boxes, the UI thread,
// the clock, the control of network transfers, the worker registry). Tests build one over a
// temporary directory with a recording Dialogs, a ManualUiThread and a FixedClock.

#include <filesystem>
#include <functional>
#include <memory>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "app/board_window.h"
#include "app/config_file.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/side_windows.h"
#include "net/portal.h"
#include "net/transfer_control.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/ui_thread.h"
#include "ui/workers.h"

namespace app {

struct AppPaths {
  std::filesystem::path run_dir;     // the executable's directory; holds 配置.ini
  std::filesystem::path executable;  // full path of the running program
  std::filesystem::path guard_file;  // the download guard file

  // Paths for the program at `executable`: run dir beside it and the per-user guard file
  // ~/.local/state/fundview/记录.txt.
  static AppPaths ForExecutable(const std::filesystem::path& executable);
};

class App;

// One step of the start-up sequence. Steps run in `order`; on a first start (no settings
// file yet) the steps ordered after 2 and before 8 are skipped.
struct StartupStep {
  int order = 0;
  std::function<void(App&)> run;
};

class App {
 public:
  App(AppPaths paths, ui::Dialogs& dialogs, ui::UiThread& ui, ui::Clock& clock);
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
  // The control every request of the program runs under: the main program installs the UI
  // event pump on it, and the worker registry's stop asks its transfers to end.
  net::TransferControl& transfers() { return transfers_; }
  ui::Workers& workers() { return workers_; }

  MainWindow& main_window() { return main_window_; }
  BoardWindow& board_window() { return board_window_; }
  SideToolsWindow& side_tools_window() { return side_tools_window_; }
  SupportWindow& support_window() { return support_window_; }

  Globals globals;

  // Steps features add to the start-up sequence (see StartupStep).
  void AddStartupStep(int order, std::function<void(App&)> run);
  const std::vector<StartupStep>& startup_steps() const { return startup_steps_; }

  // A feature's own long-lived state of type T, created empty on first use. UI thread only.
  template <class T>
  T& State() {
    std::shared_ptr<void>& slot = states_[std::type_index(typeid(T))];
    if (!slot) slot = std::make_shared<T>();
    return *static_cast<T*>(slot.get());
  }

 private:
  AppPaths paths_;
  net::PortalUrls portal_;
  ui::Dialogs& dialogs_;
  ui::UiThread& ui_;
  ui::Clock& clock_;
  MainWindow main_window_;
  BoardWindow board_window_;
  SideToolsWindow side_tools_window_;
  SupportWindow support_window_;
  std::vector<StartupStep> startup_steps_;
  std::unordered_map<std::type_index, std::shared_ptr<void>> states_;
  net::TransferControl transfers_;
  // Last member: destroyed first, so workers are joined while everything they might touch
  // is still alive.
  ui::Workers workers_;
};

}  // namespace app
