#include "shell/startup_tasks.h"

#include <algorithm>
#include <system_error>

#include "base/encoding.h"
#include "base/files.h"
#include "base/text.h"
#include "export/export_handler.h"
#include "funds/watchlist.h"
#include "positions/positions.h"

namespace shell {

namespace {

constexpr const char* kGuardSeed = "10月30日0";

}  // namespace

bool SeedSettingsIfMissing(app::App& app) {
  app::ConfigFile config = app.config();
  if (base::FileExists(config.Path())) return false;
  config.Write("加载数据", "是否全部加载", app::ConfigFile::kFalse);
  return true;
}

void RestoreCheckBoxes(app::App& app) {
  const app::ConfigFile config = app.config();
  app::MainWindow& main = app.main_window();
  if (config.Read("加载数据", "是否全部加载") == app::ConfigFile::kTrue) {
    main.选择框1.SetChecked(true);
  }
  if (config.Read("开机自启", "自启") == app::ConfigFile::kTrue) main.选择框2.SetChecked(true);
}

void RefillWatchlist(app::App& app) { funds::LoadWatchlist(app); }

void SeedGuardFile(app::App& app) {
  const std::filesystem::path& guard = app.paths().guard_file;
  std::error_code error;
  if (std::filesystem::exists(guard, error) || error) return;
  std::filesystem::create_directories(guard.parent_path(), error);
  base::ReplaceFile(guard, base::Utf8ToGbk(kGuardSeed), base::FileMode::KeepExisting(0644));
}

void RemoveStaleTempFiles(app::App& app) {
  base::RemoveStaleTempFiles(app.config().Path());
  // Every workbook the program writes goes to the workbook folder: the fund grid's and the
  // positions', each named by its day.
  base::RemoveStaleTempFiles(
      exporter::TodaysWorkbookPath(app).parent_path(), [](std::string_view name) {
        return exporter::IsWorkbookName(name) || positions::IsPositionsWorkbookName(name);
      });
  base::RemoveStaleTempFiles(app.paths().guard_file);
}

void StartupTasks(app::App& app) {
  using Phase = app::StartupPhase;
  RemoveStaleTempFiles(app);
  app.config().RestrictMode();
  bool first_start = false;
  std::vector<app::StartupStep> steps = {
      {Phase::kBoardFresh, [](app::App& a) { a.globals.BoardFreshClick = 1; }},
      {Phase::kSeedSettings,
       [&first_start](app::App& a) { first_start = SeedSettingsIfMissing(a); }},
      {Phase::kCheckBoxes, RestoreCheckBoxes},
      {Phase::kWatchlist, RefillWatchlist},
      {Phase::kGuardFile, SeedGuardFile},
  };
  steps.insert(steps.end(), app.startup_steps().begin(), app.startup_steps().end());
  std::stable_sort(steps.begin(), steps.end(),
                   [](const auto& a, const auto& b) { return a.phase < b.phase; });

  for (const app::StartupStep& step : steps) {
    if (first_start && step.phase > Phase::kSeedSettings && step.phase < Phase::kRankingList) {
      continue;
    }
    if (step.run) step.run(app);
  }
}

}  // namespace shell
