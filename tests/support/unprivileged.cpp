#include "support/unprivileged.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace test_support {

int RunUnprivileged(const std::function<void()>& body) {
  if (::geteuid() != 0) {
    body();
    return 0;
  }
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return kCannotDropRights;
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(kCannotDropRights);
    }
    body();
    std::fflush(nullptr);
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void LetEveryoneRead(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  fs::permissions(dir, fs::perms(0755));
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_symlink()) fs::permissions(entry, fs::perms(entry.is_directory() ? 0755 : 0644));
  }
}

}  // namespace test_support
