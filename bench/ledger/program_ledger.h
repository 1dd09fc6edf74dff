#pragma once

// The program's folders under a temporary root with no portal (a refresh fails at once and
// changes nothing), and the benchmarks' ledger kept there as the program keeps it: the 20 plans
// of synthetic_ledger.h in the ledger's file, each fund's history in the cache as fetched on
// 2024-01-02 (the benchmarks' clock reads 2024-01-02 10:00).

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <string_view>

#include "../common/program_paths.h"
#include "app/app.h"
#include "app/config_file.h"
#include "net/portal.h"
#include "positions/positions.h"
#include "positions/positions_store.h"
#include "store/cache.h"
#include "support/fixed_clock.h"
#include "support/recording_dialogs.h"
#include "synthetic_ledger.h"
#include "ui/qt/qt_services.h"

namespace bench_ledger {

inline app::AppPaths PathsUnder(const std::filesystem::path& root) {
  const app::AppPaths paths = bench_common::ProgramPaths(root);
  app::ConfigFile config(paths.run_dir.string());
  for (std::string_view key : net::kPortalUrlKeys) config.Write("门户", key, "http://127.0.0.1:1");
  return paths;
}

// The plans stored and the histories kept; the histories by code.
inline std::map<std::string, base::NavHistory> KeepLedger(app::App& app) {
  std::mt19937 random(39);
  std::map<std::string, base::NavHistory> histories;
  positions::PositionsStore ledger(positions::LedgerPath(app.paths()));
  for (int f = 0; f < kFunds; ++f) {
    base::NavHistory history = HistoryOf(f, random);
    positions::Plan plan = PlanOf(f, history);
    plan.id = 0;
    ledger.SavePlan(plan);
    app.cache().SaveNavHistory(history.code, history, "2024-01-02 09:00:00",
                               store::TimeStamp(2024, 1, 2, 9, 0, 0));
    histories.emplace(history.code, std::move(history));
  }
  return histories;
}

// The program over the benchmarks' ledger under a temporary root with the positions feature
// installed; the root removed at the end. Made after the QApplication.
struct LedgerProgram {
  explicit LedgerProgram(const std::string& name)
      : root(bench_common::TemporaryRoot(name)),
        paths(PathsUnder(root)),
        app(paths, dialogs, ui_thread, clock),
        histories(KeepLedger(app)),
        feature(app) {
    feature.Install();
  }
  ~LedgerProgram() {
    app.workers().StopAndJoin();
    std::error_code error;
    std::filesystem::remove_all(root, error);
  }

  std::filesystem::path root;
  app::AppPaths paths;
  ui::QtUiThread ui_thread;
  test_support::RecordingDialogs dialogs;
  test_support::FixedClock clock{{2024, 1, 2, 10, 0, 0}};
  app::App app;
  std::map<std::string, base::NavHistory> histories;
  positions::Positions feature;
};

}  // namespace bench_ledger
