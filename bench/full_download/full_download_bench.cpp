// The full download of N funds against the simulated portal, which waits L ms before every
// answer, with the main window shown (offscreen) and its fund grid in its table view. Prints:
// - the wall time against T_ideal = (pages + 1)·L + ⌈N/5⌉·4·L: the totals and the pages one by
//   one, then five workers with four profile pages per fund (goal: at most 1.05);
// - the longest stall of the UI thread's event loop during the download, from a 1 ms timer, while
//   ten characters are typed into the search box at 150 ms intervals (goal: at most 16 ms);
// - the process's peak resident memory (goal for N = 20,000 with L = 0: under 200 MB);
// - the peak number of the process's threads, sampled every 10 ms (the workers are a bounded
//   pool: the goal is that it stays bounded whatever N);
// - the export at the end, as the full download runs it (the workbook written on a worker), timed
//   apart with its own longest stall (goal: at most 16 ms). The portal runs in a child process, so
//   its request log
// does not count against our memory.
//
// With a failure rate F, that share of the portal's answers are errors: the run then prints the
// final title and how many funds are missing from the grid, instead of judging the times.
//
// usage: full_download_bench [N = 200] [L = 20] [F = 0]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "export/export_handler.h"
#include "funds/full_download.h"
#include "funds/fund_search.h"
#include "portal_process.h"
#include "sim/server.h"
#include "support/recording_dialogs.h"
#include "ui/clock.h"
#include "ui/qt/qt_services.h"
#include "ui/qt/window_view.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

// The calling thread's time on a CPU and its time waiting for one (runnable, not running), in
// ms, from the scheduler's statistics; zeros when they cannot be read.
struct CpuTimes {
  double ran_ms = 0;
  double waited_ms = 0;
};
CpuTimes ThreadCpuTimes() {
  CpuTimes times;
  if (std::FILE* stat = std::fopen("/proc/thread-self/schedstat", "r")) {
    unsigned long long ran_ns = 0, waited_ns = 0;
    if (std::fscanf(stat, "%llu %llu", &ran_ns, &waited_ns) == 2) {
      times = {ran_ns / 1e6, waited_ns / 1e6};
    }
    std::fclose(stat);
  }
  return times;
}

// The longest gap between two turns of the event loop, and how much of it the UI thread spent
// running and how much waiting for a CPU that other processes held.
struct Stall {
  long long ms = 0;
  double ran_ms = 0;
  double waited_ms = 0;
  double longest_ran_ms = 0;  // the most the UI thread ran between two turns
  double at_s = 0;            // when the longest stall ended, from the download's start
};

// The process's threads now, from /proc; 0 when it cannot be read.
int ThreadCount() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  int threads = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "Threads: %d", &threads) == 1) break;
  }
  std::fclose(status);
  return threads;
}

}  // namespace

int main(int argc, char** argv) {
  const int funds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  const int latency_ms = argc > 2 ? std::max(0, std::atoi(argv[2])) : 20;
  const double fail_rate = argc > 3 ? std::atof(argv[3]) : 0;
  int port = -1;
  // Before any thread exists, so the child starts clean.
  const int stop_fd = bench::StartPortalProcess(funds, latency_ms, fail_rate, &port);
  if (stop_fd < 0 || port <= 0) {
    std::fprintf(stderr, "full_download_bench: the simulated portal did not start\n");
    return 1;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);

  char pattern[] = "/tmp/full_download_bench.XXXXXX";
  const std::filesystem::path root = mkdtemp(pattern);
  app::AppPaths paths;
  paths.run_dir = root / "run";
  paths.workbook_dir = paths.run_dir;
  paths.executable = paths.run_dir / "fundview";
  paths.guard_file = root / "记录.txt";
  std::filesystem::create_directories(paths.run_dir);
  const std::string base = "http://127.0.0.1:" + std::to_string(port);
  for (std::string_view key : net::kPortalUrlKeys) {
    app::ConfigFile(paths.run_dir.string()).Write("门户", key, base);
  }
  ui::QtUiThread ui_thread;
  test_support::RecordingDialogs dialogs;
  ui::SystemClock clock;
  int filled = 0, listed = 0;
  std::string title;
  double wall_s = 0, export_s = 0;
  Stall stall_ms, export_stall_ms;
  int peak_threads = 0;
  {
    app::App app(paths, dialogs, ui_thread, clock);
    funds::InstallFundSearch(app);
    ui::WindowView view(app.main_window());
    app.main_window().Show();
    QCoreApplication::processEvents();

    // Ten keystrokes into the search box, each asking the portal while the download runs.
    int typed = 0;
    QTimer typing;
    typing.setInterval(150);
    QObject::connect(&typing, &QTimer::timeout, [&] {
      app.main_window().搜索框.SetText(std::string("0000000000").substr(0, ++typed));
      if (typed == 10) typing.stop();
    });
    typing.start();

    const SteadyClock::time_point start = SteadyClock::now();
    QElapsedTimer since_last_turn;
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    turns.setInterval(1);
    Stall* stall = &stall_ms;
    int tick = 0;
    CpuTimes last_turn = ThreadCpuTimes();
    QObject::connect(&turns, &QTimer::timeout, [&] {
      const long long gap = since_last_turn.restart();
      const CpuTimes now = ThreadCpuTimes();
      const double ran = now.ran_ms - last_turn.ran_ms;
      if (gap > stall->ms) {
        *stall = {gap, ran, now.waited_ms - last_turn.waited_ms, stall->longest_ran_ms,
                  Seconds(SteadyClock::now() - start)};
      }
      stall->longest_ran_ms = std::max(stall->longest_ran_ms, ran);
      last_turn = now;
      if (++tick % 10 == 0) peak_threads = std::max(peak_threads, ThreadCount());
    });
    since_last_turn.start();
    last_turn = ThreadCpuTimes();
    turns.start();
    bool completed = false;
    funds::DownloadAllFunds(app, [&](bool c) {
      completed = c;
      // Not quit(), which would close the windows and so reset the grid.
      QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    wall_s = Seconds(SteadyClock::now() - start);
    if (!completed) std::fprintf(stderr, "the download did not complete\n");
    const ui::Grid& grid = app.main_window().高级表格1;
    for (int row = 1; row < grid.RowCount(); ++row) {
      filled += grid.Text(row, 14).empty() ? 0 : 1;
      listed += grid.Text(row, 1).empty() ? 0 : 1;
    }
    title = app.main_window().Title();

    // The export as the full download ends it, while the event loop keeps turning.
    stall = &export_stall_ms;
    since_last_turn.restart();
    last_turn = ThreadCpuTimes();
    const SteadyClock::time_point export_start = SteadyClock::now();
    exporter::ExportCurrentDataInBackground(app, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    export_s = Seconds(SteadyClock::now() - export_start);
    turns.stop();
    peak_threads = std::max(peak_threads, ThreadCount());
  }
  close(stop_fd);
  waitpid(-1, nullptr, 0);
  std::filesystem::remove_all(root);

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const int pages = (funds + 19) / 20;
  const int worker_rounds = (funds + 4) / 5;  // five workers, each on a whole fund
  const double ideal_s = ((pages + 1) * latency_ms + worker_rounds * 4.0 * latency_ms) / 1000.0;
  std::printf("full download of %d funds (%d pages), latency %d ms a request; %d rows filled\n",
              funds, pages, latency_ms, filled);
  if (fail_rate > 0) {
    std::printf("  %.0f%% of answers fail: %d funds missing from the grid, title \"%s\"\n",
                fail_rate * 100, funds - listed, title.c_str());
    return 0;
  }
  if (latency_ms > 0) {
    std::printf("  wall %.2f s, T_ideal %.2f s: ratio %.3f (goal: at most 1.05)\n", wall_s, ideal_s,
                wall_s / ideal_s);
  } else {
    std::printf("  wall %.2f s (no latency: no ideal time to compare with)\n", wall_s);
  }
  std::printf(
      "  longest UI-thread stall %lld ms while ten keys were typed: ratio to goal %.2f (goal: at "
      "most 16 ms)\n",
      stall_ms.ms, stall_ms.ms / 16.0);
  // On a machine other processes load, a stall is partly time the UI thread waited for a CPU.
  std::printf(
      "    at %.2f s; of it the UI thread ran %.1f ms and waited for a CPU %.1f ms; the most it "
      "ran between two turns: %.1f ms\n",
      stall_ms.at_s, stall_ms.ran_ms, stall_ms.waited_ms, stall_ms.longest_ran_ms);
  std::printf(
      "  peak resident memory %.1f MB: ratio to goal %.2f (goal for 20,000 funds: under "
      "200 MB)\n",
      usage.ru_maxrss / 1024.0, usage.ru_maxrss / 1024.0 / 200.0);
  std::printf("  peak thread count %d\n", peak_threads);
  std::printf(
      "  export, apart: %.2f s, longest UI-thread stall %lld ms: ratio to goal %.2f (goal: at "
      "most 16 ms); of it ran %.1f ms, waited for a CPU %.1f ms\n",
      export_s, export_stall_ms.ms, export_stall_ms.ms / 16.0, export_stall_ms.ran_ms,
      export_stall_ms.waited_ms);
  return 0;
}
