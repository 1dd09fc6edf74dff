// The program's start as a user meets it: a copy of the executable in its own folder, started
// on a private X server (Xvfb) against the simulated portal, with the first ranking list chosen
// in its settings. Three runs each of the program and of a bare Qt window of the same size and
// font (the baseline), medians printed:
// - the time from the process's start to the first list shown (its title on a mapped window),
//   against the bare window's time to be mapped;
// - the resident memory after that list and 3 s idle (goal: at most 80 MB), against the bare
//   window's, with the libraries then mapped and whether the web engine, Qt Quick or a software
//   GL driver is among them (goal: none);
// - then, once, the first shareholder page opened with real input (xdotool): the resident memory
//   of the program and of whatever shows the page, and whether the main window kept its X id.
//
// usage: startup_bench [program = the build tree's fundview]

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFont>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../full_download/portal_process.h"
#include "app/config_file.h"
#include "net/portal.h"
#include "x_display.h"

namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

constexpr const char* kListTitle = "昨日涨幅榜";
constexpr double kGoalMb = 80;

struct Run {
  double ms_to_list = -1;
  double rss_mb = 0;
  std::vector<std::string> libraries;
};

double ResidentMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

std::vector<std::string> MappedLibraries(pid_t pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::set<std::string> names;
  std::string line;
  while (std::getline(maps, line)) {
    const size_t slash = line.find('/');
    if (slash == std::string::npos) continue;
    const std::string name = fs::path(line.substr(slash)).filename();
    if (name.find(".so") != std::string::npos) names.insert(name);
  }
  return {names.begin(), names.end()};
}

// The mapped libraries that only the web page should bring in.
std::vector<std::string> PageOnlyLibraries(const std::vector<std::string>& libraries) {
  std::vector<std::string> found;
  for (const std::string& name : libraries) {
    for (const char* part : {"WebEngine", "Qt6Quick", "Qt6Qml", "libLLVM", "_dri.so", "gallium"}) {
      if (name.find(part) != std::string::npos) {
        found.push_back(name);
        break;
      }
    }
  }
  return found;
}

// A folder holding a copy of `program` and its settings: the portal at `port`, the first
// ranking list chosen; the user's folders are inside it too.
fs::path PrepareFolder(const fs::path& program, int port) {
  const fs::path dir = fs::temp_directory_path() / ("startup-bench-" + std::to_string(getpid()) +
                                                    "-" + std::to_string(std::rand()));
  fs::create_directories(dir / "home");
  fs::copy_file(program, dir / "fundview");
  app::ConfigFile config(dir.string());
  for (std::string_view key : net::kPortalUrlKeys) {
    config.Write("门户", key, "http://127.0.0.1:" + std::to_string(port));
  }
  config.Write("启动加载", "加载1", "真");
  return dir;
}

pid_t Spawn(const std::vector<std::string>& command, const fs::path& dir,
            const std::string& display) {
  const pid_t pid = fork();
  if (pid == 0) {
    const std::string home = (dir / "home").string();
    setenv("HOME", home.c_str(), 1);
    for (const char* key : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) unsetenv(key);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    const std::string log = (dir / "output.log").string();
    if (!freopen(log.c_str(), "w", stdout) || !freopen(log.c_str(), "a", stderr)) std::_Exit(126);
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    std::_Exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// Starts `command`, waits for its window titled with the list's title, then 3 s.
Run Measure(bench::XServer& x, const std::vector<std::string>& command, const fs::path& dir,
            pid_t* keep = nullptr) {
  Run run;
  const auto start = SteadyClock::now();
  const pid_t pid = Spawn(command, dir, x.Display());
  while (SteadyClock::now() - start < std::chrono::seconds(60)) {
    if (x.FindViewable(kListTitle)) {
      run.ms_to_list =
          std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::this_thread::sleep_for(std::chrono::seconds(3));
  run.rss_mb = ResidentMb(pid);
  run.libraries = MappedLibraries(pid);
  if (keep) {
    *keep = pid;
  } else {
    Stop(pid);
  }
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void XdoClick(const std::string& display, int x, int y) {
  const std::string command = "DISPLAY=" + display + " xdotool mousemove " + std::to_string(x) +
                              " " + std::to_string(y) + " click 1";
  if (std::system(command.c_str()) != 0) std::printf("  (xdotool failed)\n");
}

// The processes started by `parent`, and theirs.
std::vector<pid_t> Descendants(pid_t parent) {
  std::vector<pid_t> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string text;
    if (!std::getline(stat, text)) continue;
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    char state = 0;
    pid_t ppid = 0;
    if (rest >> state >> ppid && ppid == parent) {
      const pid_t child = std::stoi(entry.path().filename());
      children.push_back(child);
      for (pid_t grandchild : Descendants(child)) children.push_back(grandchild);
    }
  }
  return children;
}

// Opens the first holding's shareholder page of the first fund in the list, as a user does.
void OpenFirstPage(bench::XServer& x, pid_t program) {
  const Window before = x.FindViewable(kListTitle);
  XdoClick(x.Display(), 60, 40);  // the first fund row of the fund grid
  std::this_thread::sleep_for(std::chrono::seconds(3));
  XdoClick(x.Display(), 40, 575);  // the first row of its holdings
  std::this_thread::sleep_for(std::chrono::seconds(8));
  double helpers_mb = 0;
  for (pid_t child : Descendants(program)) helpers_mb += ResidentMb(child);
  const std::vector<std::string> page = PageOnlyLibraries(MappedLibraries(program));
  std::printf(
      "after the first page: program %.1f MB (%zu page libraries mapped); page process and its "
      "children %.1f MB (pages they share counted in each)\n",
      ResidentMb(program), page.size(), helpers_mb);
  const bool kept = before && x.FindViewable(kListTitle) == before;
  std::printf("main window's X id 0x%lx %s\n", before, kept ? "kept" : "NOT kept");
}

int Bare(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setFont(QFont("Noto Sans CJK SC", 9));
  QWidget window;
  window.setFixedSize(1564, 859);
  window.setWindowTitle(QString::fromUtf8(kListTitle));
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--bare") return Bare(argc, argv);
  const fs::path program = argc > 1 ? fs::path(argv[1]) : fs::path(FUNDVIEW_PROGRAM);
  int port = -1;
  const int stop_fd = bench::StartPortalProcess(2000, 0, 0, &port);
  if (stop_fd < 0 || port <= 0) {
    std::fprintf(stderr, "startup_bench: the simulated portal did not start\n");
    return 1;
  }
  bench::XServer x;
  if (x.Display().empty()) {
    std::fprintf(stderr, "startup_bench: Xvfb did not start\n");
    return 1;
  }
  XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
  const fs::path self = fs::read_symlink("/proc/self/exe");
  std::vector<double> ours_ms, ours_mb, bare_ms, bare_mb;
  Run last;
  pid_t kept = -1;
  fs::path kept_dir;
  for (int i = 0; i < 3; ++i) {
    const fs::path bare_dir = PrepareFolder(program, port);
    const Run bare = Measure(x, {self.string(), "--bare"}, bare_dir);
    bare_ms.push_back(bare.ms_to_list);
    bare_mb.push_back(bare.rss_mb);
    fs::remove_all(bare_dir);
    const fs::path dir = PrepareFolder(program, port);
    last = Measure(x, {(dir / "fundview").string()}, dir, i == 2 ? &kept : nullptr);
    ours_ms.push_back(last.ms_to_list);
    ours_mb.push_back(last.rss_mb);
    if (i == 2) {
      kept_dir = dir;
    } else {
      fs::remove_all(dir);
    }
  }
  std::printf("program: %s\n", program.c_str());
  std::printf("start to first list shown: %.0f ms; bare window mapped: %.0f ms; ratio %.2f\n",
              Median(ours_ms), Median(bare_ms), Median(ours_ms) / Median(bare_ms));
  std::printf(
      "resident after the list and 3 s idle: %.1f MB (goal %.0f MB, ratio %.2f); bare window "
      "%.1f MB, ratio %.2f\n",
      Median(ours_mb), kGoalMb, Median(ours_mb) / kGoalMb, Median(bare_mb),
      Median(ours_mb) / Median(bare_mb));
  std::printf("mapped libraries (%zu):", last.libraries.size());
  for (size_t i = 0; i < last.libraries.size(); ++i) {
    std::printf("%s%s", i % 6 == 0 ? "\n  " : " ", last.libraries[i].c_str());
  }
  const std::vector<std::string> page = PageOnlyLibraries(last.libraries);
  std::printf("\nweb engine, Qt Quick or software GL before the first page: %s\n",
              page.empty() ? "none" : "");
  for (const std::string& name : page) std::printf("  %s\n", name.c_str());
  OpenFirstPage(x, kept);
  Stop(kept);
  fs::remove_all(kept_dir);
  close(stop_fd);
  return page.empty() && Median(ours_mb) <= kGoalMb ? 0 : 1;
}
