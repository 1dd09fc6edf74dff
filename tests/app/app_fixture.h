#pragma once

// An App over a temporary run directory with a recording Dialogs, a manual UI thread and a
// fixed clock. The workbook folder, the guard file and the autostart folder live in the same
// temporary tree.

#include <chrono>

#include "app/app.h"
#include "support/fixed_clock.h"
#include "support/manual_ui_thread.h"
#include "support/recording_dialogs.h"
#include "support/temp_dir.h"

namespace app_test {

inline app::AppPaths TestPaths(const std::filesystem::path& root) {
  app::AppPaths paths;
  paths.run_dir = root / "run";
  // Workbooks in a folder of their own, as an installed program has them, so that a test of
  // the export or of the full download's check fails when either looks in the run directory.
  paths.workbook_dir = root / "documents";
  paths.executable = paths.run_dir / "fundview";
  paths.guard_file = root / "state" / "fundview" / "记录.txt";
  paths.autostart_dir = root / "config" / "autostart";
  paths.data_dir = root / "data" / "fundview";
  paths.cache_file = root / "cache" / "fundview" / "cache.sqlite3";
  std::filesystem::create_directories(paths.run_dir);
  std::filesystem::create_directories(paths.workbook_dir);
  return paths;
}

// Points every portal base URL at `base` in the settings file under `root`; a program started
// afterwards reads them.
inline void PointPortalAt(const std::filesystem::path& root, const std::string& base) {
  app::ConfigFile config(TestPaths(root).run_dir.string());
  for (std::string_view key : net::kPortalUrlKeys) config.Write("门户", key, base);
}

// Runs posted work, and fires the timers when nothing else can move, until every load of `app`
// has ended; 60 s at the most.
inline void Settle(app::App& app, test_support::ManualUiThread& ui) {
  using std::chrono::steady_clock;
  const auto deadline = steady_clock::now() + std::chrono::seconds(60);
  ui.PumpEvents();
  while (app.loads().InFlight() > 0 && steady_clock::now() < deadline) {
    ui.PumpEventsUntil(steady_clock::now() + std::chrono::milliseconds(5));
    if (app.loads().InFlight() > 0 && app.workers().Running() == 0) ui.FireNextTimer();
  }
  ui.PumpEvents();
}

// A program over the directories under `root`; making another starts the program afresh over
// the same settings and guard files.
struct Program {
  explicit Program(const std::filesystem::path& root) : app(TestPaths(root), dialogs, ui, clock) {}
  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui;
  test_support::FixedClock clock{base::DateTime{2021, 8, 8, 9, 5, 3}};
  app::App app;

  void Settle() { app_test::Settle(app, ui); }
};

struct AppFixture {
  test_support::TempDir dir;
  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui;
  test_support::FixedClock clock{base::DateTime{2021, 8, 8, 9, 5, 3}};
  app::App app{TestPaths(dir.path()), dialogs, ui, clock};

  std::filesystem::path ConfigPath() const { return app.paths().run_dir / "配置.ini"; }
  void Settle() { app_test::Settle(app, ui); }
};

}  // namespace app_test
