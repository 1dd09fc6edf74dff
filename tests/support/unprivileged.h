#pragma once

// Checks as a user without root's override of file permissions, so that a folder without
// write permission refuses writes even when the tests run as root.

#include <filesystem>
#include <functional>

namespace test_support {

inline constexpr int kCannotDropRights = 77;

// Runs `body` (which may use EXPECT_…): as root in a forked child that has become nobody, whose
// failures print there; else in this process. 0 when it passed, kCannotDropRights when root
// cannot become nobody here, another code when it failed.
int RunUnprivileged(const std::function<void()>& body);

// Makes `dir` and everything in it readable by everyone (folders 0755, files 0644).
void LetEveryoneRead(const std::filesystem::path& dir);

}  // namespace test_support
