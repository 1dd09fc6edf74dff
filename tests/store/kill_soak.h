#pragma once

// A writer process killed again and again at random moments: what it confirmed before each kill
// must be on disk afterwards.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <random>
#include <set>

namespace store_test {

// Writes numbered items from `first` on, forever, writing each number to `pipe` once the item is
// on disk. Runs in a child process; it ends only by being killed (or by _exit on a failure).
using Writer = std::function<void(std::int64_t first, int pipe)>;

// Starts `kills` writers one after the other, each killed with SIGKILL at a random moment after
// it confirmed its first item; `after_kill` runs after each (with the round's number). Gives
// every number the writers confirmed; a writer that did not start or ended by itself fails the
// test.
inline std::set<std::int64_t> KillWriters(int kills, unsigned seed, const Writer& writer,
                                          const std::function<void(int kill)>& after_kill) {
  std::set<std::int64_t> confirmed;
  std::mt19937 random(seed);
  std::int64_t next = 1;
  for (int kill = 0; kill < kills && !::testing::Test::HasFatalFailure(); ++kill) {
    int fds[2];
    if (::pipe(fds) != 0) {
      ADD_FAILURE() << "no pipe";
      break;
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(fds[0]);
      writer(next, fds[1]);
      _exit(6);
    }
    ::close(fds[1]);
    std::int64_t number = 0;
    // The first confirmed item shows the child is writing; the kill then lands anywhere in a
    // write.
    const bool started = child > 0 && ::read(fds[0], &number, sizeof number) == sizeof number;
    if (started) confirmed.insert(number);
    ::usleep(random() % 3000);
    if (child > 0) ::kill(child, SIGKILL);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    while (::read(fds[0], &number, sizeof number) == sizeof number) confirmed.insert(number);
    ::close(fds[0]);
    if (!started || !WIFSIGNALED(status)) {
      ADD_FAILURE() << "writer " << kill << " did not run until killed: " << WEXITSTATUS(status);
      break;
    }
    if (after_kill) after_kill(kill);
    next = *confirmed.rbegin() + 1000;
  }
  return confirmed;
}

}  // namespace store_test
