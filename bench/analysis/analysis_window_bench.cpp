// The 收益分析 window over the benchmark's ledger (20 funds, weekly 定投 plans over five years made
// at the program's start, about 5,200 buys, their histories kept): the window opened until it
// shows the analysis, a new book followed, months stepped and the chart's periods chosen. Prints
// each time, the analysis alone, and the longest stall of the UI thread's event loop (from a 1 ms
// timer) over the window's steps, each with its ratio to the goal.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../ledger/program_ledger.h"
#include "../ledger/step_timer.h"
#include "app/app.h"
#include "positions/analysis.h"
#include "positions/positions.h"
#include "positions/positions_store.h"
#include "store/cache.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/window_view.h"

namespace {

using Ms = std::chrono::duration<double, std::milli>;

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  bench_ledger::LedgerProgram program("analysis_window_bench");
  app::App& app = program.app;
  positions::Positions& feature = program.feature;
  ui::WindowView positions_view(app.positions_window());
  app::AnalysisWindow& window = app.analysis_window();
  const ui::Rect& panel = window.资产画板.Geometry();
  window.资产画板.SetCanvas(std::make_unique<ui::QtCanvas>(panel.width, panel.height));
  ui::WindowView view(window);

  bench_ledger::StepTimer timer(app, view);

  // The ledger made by the start-up catch-up, and the positions window open over it.
  for (const app::StartupStep& step : app.startup_steps()) step.run(app);
  app.positions_window().Show();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  } while (app.loads().InFlight() > 0);
  const size_t records = feature.store().Records().size();

  // For comparison, the positions window's own share: its refresh with 收益分析 closed.
  const double refreshed = timer.Time([&] { app.positions_window().刷新持仓钮.Click(); });
  const double opened = timer.Time([&] { app.positions_window().收益分析钮.Click(); });
  const std::string status = window.分析状态.Caption();
  // The positions window's refresh (no portal: it fails at once) shows the book again.
  const double followed = timer.Time([&] { app.positions_window().刷新持仓钮.Click(); });
  const double months = timer.Time([&] {
    for (int i = 0; i < 12; ++i) window.上月钮.Click();
  });
  const double periods = timer.Time([&] {
    for (ui::Button& button : window.区间钮) button.Click();
  });
  // Opened again: its views exist already.
  window.Close();
  const double reopened = timer.Time([&] { app.positions_window().收益分析钮.Click(); });
  // The analysis alone, as the worker runs it.
  std::map<std::string, base::NavHistory> histories;
  for (const positions::Record& record : feature.store().Records()) {
    if (histories.count(record.code) == 0) {
      histories.emplace(record.code, app.cache().LoadNavHistory(record.code)->history);
    }
  }
  const auto analysis_start = std::chrono::steady_clock::now();
  const positions::Analysis analysis = positions::Analyse(feature.store().Records(), histories);
  const double analysed = Ms(std::chrono::steady_clock::now() - analysis_start).count();

  std::printf("%d funds, %zu records, %zu trading days; status: %s\n", bench_ledger::kFunds,
              records, analysis.days.size(), status.c_str());
  std::printf("the analysis alone: %.1f ms: ratio to goal %.2f (goal: at most 200 ms)\n", analysed,
              analysed / 200.0);
  std::printf(
      "window opened and shown (histories read and analysed on a worker): %.1f ms: ratio to goal "
      "%.2f (goal: 200 ms of analysis plus the histories' reading)\n",
      opened, opened / 200.0);
  std::printf(
      "opened again: %.1f ms; a new book followed (the positions window's refresh): %.1f ms, "
      "the refresh with the window closed: %.1f ms; 12 months stepped back: %.1f ms; 6 periods: "
      "%.1f ms\n",
      reopened, followed, refreshed, months, periods);
  const qint64 longest = timer.Longest();
  const std::vector<qint64>& stalls = timer.stalls();
  std::printf(
      "longest UI-thread stall: %lld ms (the refresh with the window closed %lld; opening %lld, "
      "following %lld, months %lld, periods %lld, opening again %lld): ratio to goal %.2f (goal: "
      "at most 16 ms)\n",
      static_cast<long long>(longest), static_cast<long long>(stalls[0]),
      static_cast<long long>(stalls[1]), static_cast<long long>(stalls[2]),
      static_cast<long long>(stalls[3]), static_cast<long long>(stalls[4]),
      static_cast<long long>(stalls[5]), longest / 16.0);
  window.Close();
  app.positions_window().Close();
  return status.rfind("共", 0) == 0 && records > 5000 ? 0 : 1;
}
