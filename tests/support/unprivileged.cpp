#include "support/unprivileged.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace test_support {

namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

int RunUnprivileged(const std::function<void()>& body) {
  if (::geteuid() != 0) {
    body();
    return 0;
  }
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return kCannotDropRights;
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ||
        ::geteuid() != kNobody) {
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
  constexpr fs::perms kFolder = fs::perms::owner_all | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec;
  constexpr fs::perms kFile = fs::perms::owner_read | fs::perms::owner_write |
                              fs::perms::group_read | fs::perms::others_read;
  fs::permissions(dir, kFolder);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_symlink()) continue;
    fs::permissions(entry.path(), entry.is_directory() ? kFolder : kFile);
  }
}

}  // namespace test_support
