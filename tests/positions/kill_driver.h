#pragma once

// A driver program run as a child process and killed at random moments of the time a clean run
// of it took. A run that ended before its kill (a loaded machine runs at another pace) makes the
// next moments earlier, until enough runs were killed midway.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace positions_test {

// `driver` started with `args`.
inline pid_t SpawnDriver(const std::string& driver, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(driver.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::execv(driver.c_str(), argv.data());
    ::_exit(127);
  }
  return child;
}

// The child's exit code; -1 when it did not exit by itself.
inline int WaitExit(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct KillMoments {
  std::chrono::steady_clock::duration earliest;  // of every kill
  std::chrono::steady_clock::duration latest;    // of the first, made earlier after a miss
  int runs = 5;                                  // at least
  int most_runs = 30;
  unsigned seed = 0;
};
inline constexpr int kKilledMidway = 3;

// Runs `start(run)` (which spawns the driver) and kills it at a moment of `moments`, then
// `after(run)`, until kKilledMidway runs were killed before they ended; how many were.
template <class Start, class After>
int KillMidway(KillMoments moments, const Start& start, const After& after) {
  std::mt19937 random(moments.seed);
  int killed = 0;
  auto latest = moments.latest.count();
  for (int run = 0; run < moments.most_runs && (run < moments.runs || killed < kKilledMidway) &&
                    !::testing::Test::HasFatalFailure();
       ++run) {
    SCOPED_TRACE(run);
    const pid_t driver = start(run);
    std::this_thread::sleep_for(
        std::uniform_int_distribution<std::int64_t>(moments.earliest.count(), latest)(random) *
        std::chrono::steady_clock::duration(1));
    if (::waitpid(driver, nullptr, WNOHANG) == 0) {
      ++killed;
    } else {
      latest = std::max(moments.earliest.count(), latest * 7 / 10);
    }
    ::kill(driver, SIGKILL);
    WaitExit(driver);
    after(run);
  }
  return killed;
}

}  // namespace positions_test
