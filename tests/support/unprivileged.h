#pragma once

// Running a check as a user without root's override of file permissions, so that a file or
// folder without write permission refuses writes even when the tests run as root.

#include <filesystem>
#include <functional>

namespace test_support {

// RunUnprivileged's result when this process is root and cannot drop its rights here.
inline constexpr int kCannotDropRights = 77;

// Runs `body` (which may use EXPECT_…) as an ordinary user: when this process is root, in a
// forked child that has become nobody (65534), whose failures are printed there; else in this
// process. Gives 0 when the body ran and passed, kCannotDropRights, or another code when it
// failed.
int RunUnprivileged(const std::function<void()>& body);

// Makes `dir` and everything in it readable by every user (folders 0755, files 0644).
void LetEveryoneRead(const std::filesystem::path& dir);

}  // namespace test_support
