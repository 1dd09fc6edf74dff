#pragma once

// An App over a temporary run directory with a recording Dialogs, a manual UI thread and a
// fixed clock. The guard file and the autostart folder live in the same temporary tree.

#include "app/app.h"
#include "support/temp_dir.h"
#include "ui/clock.h"
#include "ui/dialogs.h"
#include "ui/ui_thread.h"

namespace app_test {

inline app::AppPaths TestPaths(const std::filesystem::path& root) {
  app::AppPaths paths;
  paths.run_dir = root / "run";
  paths.executable = paths.run_dir / "fundview";
  paths.guard_file = root / "state" / "fundview" / "记录.txt";
  paths.autostart_dir = root / "config" / "autostart";
  std::filesystem::create_directories(paths.run_dir);
  return paths;
}

struct AppFixture {
  test_support::TempDir dir;
  ui::RecordingDialogs dialogs;
  ui::ManualUiThread ui;
  ui::FixedClock clock{base::DateTime{2021, 8, 8, 9, 5, 3}};
  app::App app{TestPaths(dir.path()), dialogs, ui, clock};

  std::filesystem::path ConfigPath() const { return app.paths().run_dir / "配置.ini"; }
};

}  // namespace app_test
