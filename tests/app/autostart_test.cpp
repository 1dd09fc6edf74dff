#include "app/autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;

unsigned Mode(const fs::path& file) {
  struct stat info {};
  stat(file.c_str(), &info);
  return info.st_mode & 07777;
}

class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target_ = dir_.path() / "bin dir" / "fundview";
    fs::create_directories(target_.parent_path());
    test_support::WriteFileBytes(target_, "#!/bin/sh\n");
  }

  test_support::TempDir dir_;
  const fs::path autostart_ = dir_.path() / "config" / "autostart";
  fs::path target_;
};

TEST_F(AutostartTest, AddWritesOneEntryRunningTheTargetAndRemoveDeletesIt) {
  const fs::path entry = autostart_ / "fundview.desktop";
  EXPECT_EQ(entry, AutostartEntryPath(autostart_, "fundview"));
  // The session reads the entry whatever the umask was.
  const mode_t old_umask = umask(077);
  EXPECT_TRUE(AddAutostartEntry(autostart_, "fundview", target_));
  EXPECT_EQ(0644u, Mode(entry));
  EXPECT_TRUE(AddAutostartEntry(autostart_, "fundview", target_));
  umask(old_umask);
  EXPECT_EQ(0644u, Mode(entry));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(autostart_), {}));
  const std::string text = test_support::ReadFileBytes(entry);
  EXPECT_NE(std::string::npos, text.find("[Desktop Entry]\n"));
  EXPECT_NE(std::string::npos, text.find("\nExec=\"" + target_.string() + "\"\n"));
  EXPECT_TRUE(RemoveAutostartEntry(autostart_, "fundview"));
  EXPECT_FALSE(fs::exists(entry));
  EXPECT_FALSE(RemoveAutostartEntry(autostart_, "fundview"));
}

TEST_F(AutostartTest, MissingTargetOrUnusableNameCreatesNothing) {
  EXPECT_FALSE(AddAutostartEntry(autostart_, "fundview", dir_.path() / "missing"));
  EXPECT_FALSE(AddAutostartEntry(autostart_, "a/b", target_));
  EXPECT_FALSE(AddAutostartEntry(autostart_, "a\nb", target_));
  EXPECT_FALSE(fs::exists(autostart_ / "fundview.desktop"));
}

TEST_F(AutostartTest, EntryThatCannotTakeItsPlaceIsAFailureAndLeavesNoTemporaryFile) {
  // A directory holding a file where the entry belongs: the finished file cannot replace it.
  const fs::path entry = AutostartEntryPath(autostart_, "fundview");
  fs::create_directories(entry / "occupied");
  EXPECT_FALSE(AddAutostartEntry(autostart_, "fundview", target_));
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
