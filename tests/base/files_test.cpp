#include "base/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace base {
namespace {

namespace fs = std::filesystem;
using test_support::Listing;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

TEST(AtomicFileTest, PiecesReachTheTargetOnlyAtCommitThroughATempFileBesideIt) {
  test_support::TempDir dir;
  const fs::path target = dir / "a.xls";
  WriteFileBytes(target, "old");
  {
    std::unique_ptr<AtomicFile> file = AtomicFile::Open(target, FileMode::KeepExisting(0644));
    ASSERT_NE(nullptr, file);
    // Named like mkstemp's ".a.xls.XXXXXX", so that a stale one can be recognised.
    EXPECT_EQ(dir.path(), file->temp_path().parent_path());
    const std::string temp = file->temp_path().filename().string();
    EXPECT_EQ(".a.xls.", temp.substr(0, 7));
    EXPECT_EQ(13u, temp.size()) << temp;
    EXPECT_TRUE(file->Write("new "));
    EXPECT_TRUE(file->Write("bytes"));
    EXPECT_EQ("old", ReadFileBytes(target));
    EXPECT_TRUE(file->Commit());
  }
  EXPECT_EQ("new bytes", ReadFileBytes(target));
  EXPECT_EQ(std::vector<std::string>{"a.xls"}, Listing(dir.path()));

  // Abandoned, or failing part-way: the old file stays and the temp file goes.
  AtomicFile::Open(target, FileMode::KeepExisting(0644))->Write("lost");
  int writes = 0;
  const WriteFunction fails_second = [&writes](int fd, std::string_view bytes) {
    return ++writes < 2 && WriteAll(fd, bytes);
  };
  std::unique_ptr<AtomicFile> failing =
      AtomicFile::Open(target, FileMode::KeepExisting(0644), fails_second);
  EXPECT_TRUE(failing->Write("first"));
  EXPECT_FALSE(failing->Write("second"));
  EXPECT_FALSE(failing->Commit());
  failing.reset();
  EXPECT_EQ("new bytes", ReadFileBytes(target));
  EXPECT_EQ(std::vector<std::string>{"a.xls"}, Listing(dir.path()));
}

TEST(RemoveStaleTempFilesTest, RemovesOnlyRegularFilesOfTheTargetsOwnTempPattern) {
  test_support::TempDir dir;
  const fs::path target = dir / "配置.ini";
  WriteFileBytes(target, "[S]\r\n");
  // What mkstemp leaves when the writer is killed between creating and renaming.
  std::string stale = (dir / ".配置.ini.XXXXXX").string();
  const int fd = mkstemp(stale.data());
  ASSERT_GE(fd, 0);
  close(fd);
  const std::vector<std::string> look_alikes = {
      ".配置.ini.Ab3xY",   ".配置.ini.Ab3xYz7", ".配置.ini.Ab-xYz", "配置.ini.Ab3xYz",
      "..配置.ini.Ab3xYz", ".其他.ini.Ab3xYz",  "victim",
  };
  for (const std::string& name : look_alikes) WriteFileBytes(dir / name, "keep");
  fs::create_directory(dir / ".配置.ini.DirDir");
  fs::create_symlink(dir / "victim", dir / ".配置.ini.LinkXY");

  EXPECT_EQ(1, RemoveStaleTempFiles(target));
  EXPECT_FALSE(fs::exists(stale));
  std::vector<std::string> expected = look_alikes;
  expected.insert(expected.end(), {"配置.ini", ".配置.ini.DirDir", ".配置.ini.LinkXY"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, Listing(dir.path()));
  EXPECT_EQ("keep", ReadFileBytes(dir / "victim"));
  EXPECT_EQ(0, RemoveStaleTempFiles(dir / "missing" / "配置.ini"));
}

}  // namespace
}  // namespace base
