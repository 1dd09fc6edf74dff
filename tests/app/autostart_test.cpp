#include "app/autostart.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;

class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (dir_.path() / "config").c_str(), 1);
    target_ = dir_.path() / "bin dir" / "fundview";
    fs::create_directories(target_.parent_path());
    test_support::WriteFileBytes(target_, "#!/bin/sh\n");
  }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

  test_support::TempDir dir_;
  fs::path target_;
};

TEST_F(AutostartTest, AddWritesOneEntryRunningTheTargetAndRemoveDeletesIt) {
  const fs::path entry = dir_.path() / "config" / "autostart" / "fundview.desktop";
  EXPECT_EQ(entry, AutostartEntryPath("fundview"));
  EXPECT_TRUE(AddAutostartEntry("fundview", target_));
  EXPECT_TRUE(AddAutostartEntry("fundview", target_));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(entry.parent_path()), {}));
  const std::string text = test_support::ReadFileBytes(entry);
  EXPECT_NE(std::string::npos, text.find("[Desktop Entry]\n"));
  EXPECT_NE(std::string::npos, text.find("\nExec=\"" + target_.string() + "\"\n"));
  EXPECT_TRUE(RemoveAutostartEntry("fundview"));
  EXPECT_FALSE(fs::exists(entry));
  EXPECT_FALSE(RemoveAutostartEntry("fundview"));
}

TEST_F(AutostartTest, MissingTargetOrUnusableNameCreatesNothing) {
  EXPECT_FALSE(AddAutostartEntry("fundview", dir_.path() / "missing"));
  EXPECT_FALSE(AddAutostartEntry("a/b", target_));
  EXPECT_FALSE(AddAutostartEntry("a\nb", target_));
  EXPECT_FALSE(fs::exists(dir_.path() / "config" / "autostart" / "fundview.desktop"));
}

TEST_F(AutostartTest, EntryThatCannotTakeItsPlaceIsAFailureAndLeavesNoTemporaryFile) {
  // A directory holding a file where the entry belongs: the finished file cannot replace it.
  const fs::path entry = AutostartEntryPath("fundview");
  fs::create_directories(entry / "occupied");
  EXPECT_FALSE(AddAutostartEntry("fundview", target_));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(entry.parent_path()), {}));
  EXPECT_TRUE(fs::is_directory(entry));
}

TEST(DesktopExecValueTest, QuotesAndEscapesReservedCharacters) {
  struct Case {
    const char* path;
    const char* exec;
  };
  const Case cases[] = {
      {"/opt/fund view/fundview", "\"/opt/fund view/fundview\""},
      {"/opt/基金/fundview", "\"/opt/基金/fundview\""},
      {"/a\"b", "\"/a\\\\\"b\""},
      {"/a$b`c", "\"/a\\\\$b\\\\`c\""},
      {"/a\\b", "\"/a\\\\\\\\b\""},
      {"/100%", "\"/100%%\""},
      {"/a\nb", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.exec, DesktopExecValue(c.path)) << c.path;
}

}  // namespace
}  // namespace app
