// Where the program's files go: beside a copy in a folder of its own, per user for an
// installed one (the settings folder, the documents folder as the user's session names it).

#include "app/app_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/config_file.h"
#include "support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using test_support::WriteFileBytes;

unsigned Mode(const fs::path& file) {
  struct stat info {};
  stat(file.c_str(), &info);
  return info.st_mode & 07777;
}

// Sets an environment variable for the test's length (unset when `value` is empty).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value.empty()) {
      unsetenv(name);
    } else {
      setenv(name, value.c_str(), 1);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class AppPathsTest : public ::testing::Test {
 protected:
  test_support::TempDir dir_;
  const fs::path home_ = dir_.path() / "home";
  const fs::path exe_ = dir_.path() / "bin" / "fundview";
  ScopedEnv home_env_{"HOME", home_.string()};
  ScopedEnv config_env_{"XDG_CONFIG_HOME", ""};
};

TEST_F(AppPathsTest, CopyInAWritableFolderKeepsEverythingBesideItself) {
  fs::create_directories(exe_.parent_path());
  const AppPaths paths = AppPaths::ForExecutable(exe_);
  EXPECT_EQ(exe_.parent_path(), paths.run_dir);
  EXPECT_EQ(exe_.parent_path(), paths.workbook_dir);
  EXPECT_EQ(exe_, paths.executable);
  EXPECT_EQ(home_ / ".local" / "state" / "fundview" / "记录.txt", paths.guard_file);
  EXPECT_FALSE(fs::exists(home_ / ".config" / "fundview"));
}

TEST_F(AppPathsTest, PerUserSettingsGoToAPrivateFolderUnderTheConfigHome) {
  const mode_t old_umask = umask(022);
  const AppPaths paths = AppPaths::PerUser(exe_);
  EXPECT_EQ(home_ / ".config" / "fundview", paths.run_dir);
  EXPECT_EQ(0700u, Mode(paths.run_dir));
  ASSERT_TRUE(ConfigFile(paths.run_dir.string()).Write("加载数据", "是否全部加载", "假"));
  umask(old_umask);
  EXPECT_EQ(0600u, Mode(paths.run_dir / "配置.ini"));

  // An absolute XDG_CONFIG_HOME is followed; a relative one is not a base directory.
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", (dir_.path() / "xdg").string());
    EXPECT_EQ(dir_.path() / "xdg" / "fundview", AppPaths::PerUser(exe_).run_dir);
  }
  ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(home_ / ".config" / "fundview", AppPaths::PerUser(exe_).run_dir);
}

TEST_F(AppPathsTest, WorkbooksGoToTheNamedDocumentsFolderElseDocumentsElseHome) {
  fs::create_directories(home_);
  EXPECT_EQ(home_, AppPaths::PerUser(exe_).workbook_dir);
  fs::create_directories(home_ / "Documents");
  EXPECT_EQ(home_ / "Documents", AppPaths::PerUser(exe_).workbook_dir);

  const fs::path user_dirs = home_ / ".config" / "user-dirs.dirs";
  fs::create_directories(user_dirs.parent_path());
  WriteFileBytes(user_dirs,
                 "# written by xdg-user-dirs-update\n"
                 "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
                 "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n");
  // A named folder that does not exist is passed over.
  EXPECT_EQ(home_ / "Documents", AppPaths::PerUser(exe_).workbook_dir);
  fs::create_directories(home_ / "文档");
  EXPECT_EQ(home_ / "文档", AppPaths::PerUser(exe_).workbook_dir);

  const fs::path elsewhere = dir_.path() / "papers";
  fs::create_directories(elsewhere);
  WriteFileBytes(user_dirs, "XDG_DOCUMENTS_DIR=\"" + elsewhere.string() + "\"\n");
  EXPECT_EQ(elsewhere, AppPaths::PerUser(exe_).workbook_dir);
  // "$HOME" alone names the home folder; "$HOMEX/..." names nothing.
  WriteFileBytes(user_dirs, "XDG_DOCUMENTS_DIR=\"$HOME\"\n");
  EXPECT_EQ(home_, AppPaths::PerUser(exe_).workbook_dir);
  WriteFileBytes(user_dirs, "XDG_DOCUMENTS_DIR=\"$HOMEX/文档\"\n");
  EXPECT_EQ(home_ / "Documents", AppPaths::PerUser(exe_).workbook_dir);
}

}  // namespace
}  // namespace app
