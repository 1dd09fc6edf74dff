// The full download of N funds against the simulated portal, which waits L ms before every
// answer, killed with SIGKILL at 80 % of its detail phase and started again the same day.
// Prints:
// - the resumed attempt's wall time over an uninterrupted download's, both from the first
//   request to the last fund (goal: at most 0.3);
// - the cache's size on disk once K funds are kept through the download's own save path, with
//   the column texts the portal gives for them (goal for K = 26,000: under 64 MB).
//
// usage: full_download_resume_bench [N = 2000] [L = 20] [K = 26000]

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/app.h"
#include "funds/download_resume.h"
#include "funds/full_download.h"
#include "funds/fund_table.h"
#include "portal_process.h"
#include "sim/fund_detail.h"
#include "sim/market.h"
#include "support/manual_ui_thread.h"
#include "support/recording_dialogs.h"
#include "ui/clock.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

app::AppPaths PathsUnder(const std::filesystem::path& root, const std::string& portal) {
  app::AppPaths paths;
  paths.run_dir = root / "run";
  paths.workbook_dir = paths.run_dir;
  paths.executable = paths.run_dir / "fundview";
  paths.guard_file = root / "记录.txt";
  paths.cache_file = root / "cache" / "cache.sqlite3";
  std::filesystem::create_directories(paths.run_dir);
  for (std::string_view key : net::kPortalUrlKeys) {
    app::ConfigFile(paths.run_dir.string()).Write("门户", key, portal);
  }
  return paths;
}

// One download over `root` in this process; its wall time in seconds, negative when it did not
// complete.
double TimedDownload(const std::filesystem::path& root, const std::string& portal) {
  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui_thread;
  ui::SystemClock clock;
  app::App app(PathsUnder(root, portal), dialogs, ui_thread, clock);
  const SteadyClock::time_point start = SteadyClock::now();
  bool ended = false;
  bool completed = false;
  funds::DownloadAllFunds(app, [&](bool c) {
    ended = true;
    completed = c;
  });
  while (!ended) {
    ui_thread.PumpEventsUntil(SteadyClock::now() + std::chrono::milliseconds(5));
    // A retry's wait passes at once: nothing else is left to wait for.
    if (app.workers().Running() == 0) ui_thread.FireNextTimer();
  }
  if (!app.cache().LastError().empty()) {
    std::fprintf(stderr, "the cache was off: %s\n", app.cache().LastError().c_str());
  }
  const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  return completed ? seconds : -1;
}

// Runs a download over `root` in a child process and kills it once `kill_at` funds are kept.
// False when the child ended by itself or could not start.
bool KilledDownload(const std::filesystem::path& root, const std::string& portal, int kill_at) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) std::_Exit(TimedDownload(root, portal) < 0 ? 1 : 0);
  const std::string day = funds::CalendarDay(ui::SystemClock().Now());
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (waitpid(child, nullptr, WNOHANG) != 0) return false;
    // A reader of its own; the download's writes go on meanwhile.
    if (static_cast<int>(
            store::Cache(PathsUnder(root, portal).cache_file).LoadDetails(day).size()) >= kill_at) {
      break;
    }
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return true;
}

// The cache file's size in bytes after `funds` funds of a market that size are kept through the
// save path the download's workers take.
std::uintmax_t CacheSizeFor(const std::filesystem::path& root, int funds) {
  sim::MarketOptions options;
  options.funds = funds;
  const sim::Market market(options);
  const std::filesystem::path file = root / "size" / "cache.sqlite3";
  {
    store::Cache cache(file);
    const std::string day = funds::CalendarDay(ui::SystemClock().Now());
    for (const sim::Fund& fund : market.funds()) {
      const sim::FundDetail detail = sim::DetailOf(market, fund);
      portal::ManagerFigures manager;
      if (detail.manager) manager = {detail.manager->tenure_return, detail.manager->tenure};
      funds::KeepProfileColumns(
          cache, day, fund.code,
          funds::ProfileColumnsOf(detail.size, detail.rating.empty() ? "0" : detail.rating, manager,
                                  detail.stats));
    }
  }  // the last connection folds the journal into the file
  std::uintmax_t bytes = 0;
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::filesystem::path part = file;
    part += suffix;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(part, error);
    if (!error) bytes += size;
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const int funds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
  const int latency_ms = argc > 2 ? std::max(0, std::atoi(argv[2])) : 20;
  const int size_funds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 26000;
  int port = -1;
  const int stop_fd = bench::StartPortalProcess(funds, latency_ms, 0, &port);
  if (stop_fd < 0 || port <= 0) {
    std::fprintf(stderr, "full_download_resume_bench: the simulated portal did not start\n");
    return 1;
  }
  const std::string portal = "http://127.0.0.1:" + std::to_string(port);
  char pattern[] = "/tmp/full_download_resume_bench.XXXXXX";
  const std::filesystem::path root = mkdtemp(pattern);

  // The kill comes first: the child is forked while this process has no thread yet.
  const bool killed = KilledDownload(root / "resumed", portal, funds * 8 / 10);
  const double resumed_s = killed ? TimedDownload(root / "resumed", portal) : -1;
  const double whole_s = TimedDownload(root / "whole", portal);
  close(stop_fd);
  waitpid(-1, nullptr, 0);
  const std::uintmax_t cache_bytes = CacheSizeFor(root, size_funds);
  std::filesystem::remove_all(root);

  std::printf("full download of %d funds, latency %d ms a request, killed at 80%% of its details\n",
              funds, latency_ms);
  if (!killed || resumed_s < 0 || whole_s < 0) {
    std::printf("  a download did not run as planned (killed %d, resumed %.2f s, whole %.2f s)\n",
                killed, resumed_s, whole_s);
    return 1;
  }
  std::printf("  resumed %.2f s, uninterrupted %.2f s: ratio %.3f (goal: at most 0.3)\n", resumed_s,
              whole_s, resumed_s / whole_s);
  const double megabytes = static_cast<double>(cache_bytes) / (1024.0 * 1024.0);
  std::printf("  cache after %d funds kept: %.1f MB, ratio to goal %.3f (goal: under 64 MB)\n",
              size_funds, megabytes, megabytes / 64.0);
  return 0;
}
