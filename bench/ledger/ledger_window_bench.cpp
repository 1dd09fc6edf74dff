// The positions feature over the benchmark's ledger (20 funds, weekly 定投 plans over five years,
// their histories kept): the start of the program making every period's buy (about 5,200) and
// confirming it through the ledger's file on a worker, then the positions window opened and a
// fund's trades shown. Prints the time of the catch-up, of a settlement with nothing to make,
// and the longest stall of the UI thread's event loop (from a 1 ms timer) over all of it, each
// with its ratio to the goal.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "app/app.h"
#include "positions/positions.h"
#include "positions/positions_store.h"
#include "program_ledger.h"
#include "step_timer.h"
#include "ui/qt/window_view.h"

namespace {

using Ms = std::chrono::duration<double, std::milli>;

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  bench_ledger::LedgerProgram program("ledger_window_bench");
  app::App& app = program.app;
  const std::map<std::string, base::NavHistory>& histories = program.histories;
  positions::Positions& feature = program.feature;
  ui::WindowView view(app.positions_window());

  bench_ledger::StepTimer timer(app, view);

  const double catch_up = timer.Time([&] {
    for (const app::StartupStep& step : app.startup_steps()) step.run(app);
  });
  const double opened = timer.Time([&] { app.positions_window().Show(); });
  ui::Grid& grid = app.positions_window().持仓表格;
  const double chosen = timer.Time([&] {
    grid.SetCurrentRow(1);
    grid.on_cell_event(1, 0);
  });
  app::PositionsWindow& window = app.positions_window();
  const double bought = timer.Time([&] {
    window.代码框.SetText(grid.Text(1, app::kPosCode));
    window.份额框.SetText("100");
    window.净值框.SetText("1.0000");
    window.买入钮.Click();
  });
  const positions::Book book = feature.store().ReadBook();
  const auto settle_start = std::chrono::steady_clock::now();
  const positions::Book again = feature.store().Settle(histories, "2024-01-02");
  const double idle = Ms(std::chrono::steady_clock::now() - settle_start).count();

  std::printf("%d funds, %zu records (%zu pending), %d positions rows\n", bench_ledger::kFunds,
              book.records.size(), book.trades.size(), grid.RowCount() - 2);
  std::printf(
      "start-up catch-up (periods made, confirmed, dividends, on a worker): %.1f ms: ratio to "
      "goal %.2f (goal: at most 100 ms of work; for reference it includes the file's writes)\n",
      catch_up, catch_up / 100.0);
  std::printf("a settlement with nothing to make: %.1f ms: ratio to goal %.2f (goal: 100 ms)\n",
              idle, idle / 100.0);
  std::printf("window opened: %.1f ms; a fund's trades shown: %.1f ms; a buy entered: %.1f ms\n",
              opened, chosen, bought);
  const qint64 longest = timer.Longest();
  const std::vector<qint64>& stalls = timer.stalls();
  std::printf(
      "longest UI-thread stall: %lld ms (catch-up %lld, opening %lld, a fund's trades %lld, a buy "
      "entered %lld): ratio to goal %.2f (goal: at most 16 ms)\n",
      static_cast<long long>(longest), static_cast<long long>(stalls[0]),
      static_cast<long long>(stalls[1]), static_cast<long long>(stalls[2]),
      static_cast<long long>(stalls[3]), longest / 16.0);
  app.positions_window().Close();
  return again.records.size() == book.records.size() && !book.records.empty() ? 0 : 1;
}
