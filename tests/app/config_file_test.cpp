#include "app/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace app {
namespace {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

// GBK spellings of the names the program uses.
const std::string kLoadSection = "\xC6\xF4\xB6\xAF\xBC\xD3\xD4\xD8";  // 启动加载
const std::string kLoad3 =
    "\xBC\xD3\xD4\xD8"
    "3";                                   // 加载3
const std::string kTrueGbk = "\xD5\xE6";   // 真
const std::string kFalseGbk = "\xBC\xD9";  // 假

unsigned Mode(const std::filesystem::path& file) {
  struct stat info {};
  stat(file.c_str(), &info);
  return info.st_mode & 07777;
}

std::vector<std::string> FilesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(ConfigFileTest, MissingFileSectionOrKeyReadsEmpty) {
  test_support::TempDir dir;
  ConfigFile config(dir.path().string());
  EXPECT_EQ("", config.Read("启动加载", "加载1"));
  EXPECT_FALSE(config.ReadBool("启动加载", "加载1"));
  WriteFileBytes(dir / "配置.ini", "[" + kLoadSection + "]\r\n" + kLoad3 + "=" + kTrueGbk + "\r\n");
  EXPECT_EQ("真", config.Read("启动加载", "加载3"));
  EXPECT_TRUE(config.ReadBool("启动加载", "加载3"));
  EXPECT_EQ("", config.Read("启动加载", "加载1"));
  EXPECT_EQ("", config.Read("加载数据", "加载3"));
  EXPECT_EQ("", config.Read("", ""));
}

TEST(ConfigFileTest, ReadsHandEditedFiles) {
  test_support::TempDir dir;
  // What a hand-edited file may hold: GBK, comments, blank lines, mixed line ends, blanks
  // around names, and no line end after the last line.
  std::string file =
      "; settings\r\n"
      "\r\n"
      "[ " +
      kLoadSection +
      " ]\r\n"
      "  " +
      kLoad3 + "  =" + kTrueGbk +
      "\n"
      ";" +
      kLoad3 +
      "=x\r\n"
      "\r\n"
      "[Misc]\r\n"
      "Flag=true\r\n"
      "Spaced=" +
      kTrueGbk +
      " \r\n"
      "NoEquals\r\n"
      "Empty=\r\n"
      "Url=http://a/?b=c&d=e\r\n"
      "Bad=\xD6\r\n"
      "Last=1";
  WriteFileBytes(dir / "配置.ini", file);
  ConfigFile config(dir.path().string());
  EXPECT_EQ("真", config.Read("启动加载", "加载3"));
  EXPECT_EQ("真", config.Read(" 启动加载", "加载3 "));
  EXPECT_EQ("true", config.Read("misc", "FLAG"));
  // Only "真" is true: the Latin word and a value with a trailing blank are not.
  EXPECT_FALSE(config.ReadBool("Misc", "Flag"));
  EXPECT_EQ("真 ", config.Read("Misc", "Spaced"));
  EXPECT_FALSE(config.ReadBool("Misc", "Spaced"));
  EXPECT_EQ("", config.Read("Misc", "NoEquals"));
  EXPECT_EQ("", config.Read("Misc", "Empty"));
  EXPECT_EQ("http://a/?b=c&d=e", config.Read("Misc", "Url"));
  EXPECT_EQ("\xEF\xBF\xBD", config.Read("Misc", "Bad"));
  EXPECT_EQ("1", config.Read("Misc", "Last"));
  EXPECT_EQ("", config.Read("Misc", ";加载3"));
}

TEST(ConfigFileTest, WritesGbkWithCrlfAndNoBlanks) {
  test_support::TempDir dir;
  ConfigFile config(dir.path().string());
  EXPECT_TRUE(config.Write("启动加载", "加载3", "真"));
  EXPECT_TRUE(config.WriteBool("启动加载", "加载1", false));
  EXPECT_TRUE(config.Write("吾爱Cookie", "Cookie", "a=1; b=2"));
  EXPECT_EQ("[" + kLoadSection + "]\r\n" + kLoad3 + "=" + kTrueGbk + "\r\n" +
                "\xBC\xD3\xD4\xD8"
                "1=" +
                kFalseGbk + "\r\n" +
                "[\xCE\xE1\xB0\xAE"
                "Cookie]\r\nCookie=a=1; b=2\r\n",
            ReadFileBytes(dir / "配置.ini"));
  // Replacing a value changes that one line.
  EXPECT_TRUE(config.Write("启动加载", "加载3", "假"));
  EXPECT_EQ("假", config.Read("启动加载", "加载3"));
  EXPECT_EQ("假", config.Read("启动加载", "加载1"));
  EXPECT_EQ("a=1; b=2", config.Read("吾爱Cookie", "Cookie"));
  // Values stay byte for byte, characters outside GBK included.
  EXPECT_TRUE(config.Write("s", "k", " 𠀀 😀 '%41 "));
  EXPECT_EQ(" 𠀀 😀 '%41 ", config.Read("s", "k"));
}

TEST(ConfigFileTest, WritePreservesEveryOtherLineByteForByte) {
  test_support::TempDir dir;
  std::string head =
      "; keep me\r\n"
      "[A]\n"
      "x = 1\n"
      "; inner comment\r\n";
  std::string tail =
      "\r\n"
      "[B]\r\n"
      "y=\xD6\xD0\r\n"
      "junk line\r\n"
      "\r\n";
  WriteFileBytes(dir / "配置.ini", head + tail);
  ConfigFile config(dir.path().string());
  EXPECT_TRUE(config.Write("a", "new", "v"));
  EXPECT_EQ(head + "new=v\r\n" + tail, ReadFileBytes(dir / "配置.ini"));
  EXPECT_TRUE(config.Write("A", "X", "2"));
  EXPECT_EQ("; keep me\r\n[A]\nx=2\n; inner comment\r\nnew=v\r\n" + tail,
            ReadFileBytes(dir / "配置.ini"));
  // A file cut off inside its last CR LF still gets whole lines appended.
  WriteFileBytes(dir / "配置.ini", "[A]\r\nx=1\r");
  EXPECT_TRUE(config.Write("C", "z", "3"));
  EXPECT_EQ("[A]\r\nx=1\r\n[C]\r\nz=3\r\n", ReadFileBytes(dir / "配置.ini"));
  EXPECT_EQ("1", config.Read("A", "x"));
  WriteFileBytes(dir / "配置.ini", "[A]\r\nx=1");
  EXPECT_TRUE(config.Write("a", "y", "2"));
  EXPECT_EQ("[A]\r\nx=1\r\ny=2\r\n", ReadFileBytes(dir / "配置.ini"));
  EXPECT_TRUE(config.Write("B", "y", "中"));
  // Writing the value a key already has leaves the file alone.
  std::string before = ReadFileBytes(dir / "配置.ini");
  EXPECT_TRUE(config.Write("B", "y", "中"));
  EXPECT_EQ(before, ReadFileBytes(dir / "配置.ini"));
}

TEST(ConfigFileTest, NamesMatchIgnoringAsciiCaseButNotGbkTrailBytes) {
  test_support::TempDir dir;
  // Two characters whose GBK trail bytes differ only in ASCII case: 丄 is 81 41 ("A"),
  // 乤 is 81 61 ("a").
  WriteFileBytes(dir / "配置.ini", "[S]\r\n\x81\x41=upper\r\n");
  ConfigFile config(dir.path().string());
  EXPECT_EQ("upper", config.Read("s", "丄"));
  EXPECT_EQ("", config.Read("s", "乤"));
  EXPECT_TRUE(config.Write("S", "乤", "lower"));
  EXPECT_EQ("upper", config.Read("S", "丄"));
  EXPECT_EQ("lower", config.Read("S", "乤"));
  // 乚 is 81 5D: its trail byte is "]", yet "[a乚" opens no section.
  WriteFileBytes(dir / "配置.ini", "[T]\r\n[a\x81\x5D\r\nk=v\r\n");
  EXPECT_EQ("v", config.Read("T", "k"));
  EXPECT_TRUE(config.Write("乚", "k", "w"));
  EXPECT_EQ("w", config.Read("乚", "k"));
  EXPECT_EQ("v", config.Read("T", "k"));
}

TEST(ConfigFileTest, DeleteSectionRemovesAllItsKeys) {
  test_support::TempDir dir;
  WriteFileBytes(dir / "配置.ini",
                 "[W]\r\nold=1\r\n[Keep]\r\nk=v\r\n[w]\r\nstale=2\r\n; c\r\n[Last]\r\nz=9\r\n");
  ConfigFile config(dir.path().string());
  EXPECT_TRUE(config.DeleteSection("W"));
  EXPECT_EQ("[Keep]\r\nk=v\r\n[Last]\r\nz=9\r\n", ReadFileBytes(dir / "配置.ini"));
  EXPECT_EQ("", config.Read("W", "stale"));
  // The watchlist is written as delete-then-write: one key remains.
  EXPECT_TRUE(config.Write("自选数据", "自选", "000001/A/B|"));
  EXPECT_TRUE(config.Write("自选数据", "other", "x"));
  EXPECT_TRUE(config.DeleteSection("自选数据"));
  EXPECT_TRUE(config.Write("自选数据", "自选", "000002/C/D|"));
  EXPECT_EQ("", config.Read("自选数据", "other"));
  EXPECT_EQ("000002/C/D|", config.Read("自选数据", "自选"));
  EXPECT_TRUE(config.DeleteSection("no such section"));
  test_support::TempDir empty;
  EXPECT_TRUE(ConfigFile(empty.path().string()).DeleteSection("x"));
  EXPECT_EQ(std::vector<std::string>{}, FilesIn(empty.path()));
}

TEST(ConfigFileTest, RejectedArgumentsNeverCorruptTheFile) {
  test_support::TempDir dir;
  ConfigFile config(dir.path().string());
  ASSERT_TRUE(config.Write("S", "k", "v"));
  std::string before = ReadFileBytes(dir / "配置.ini");
  EXPECT_FALSE(config.Write("S", "k", "two\r\nlines"));
  EXPECT_FALSE(config.Write("S", "k", "lf\n"));
  EXPECT_FALSE(config.Write("S", "a=b", "v"));
  EXPECT_FALSE(config.Write("S", ";k", "v"));
  EXPECT_FALSE(config.Write("S", "[k]", "v"));
  EXPECT_FALSE(config.Write("S", " ", "v"));
  EXPECT_FALSE(config.Write("", "k", "v"));
  EXPECT_FALSE(config.Write("S\n[T]", "k", "v"));
  EXPECT_FALSE(config.Write("S", "k", std::string("a\0b", 3)));
  EXPECT_EQ(before, ReadFileBytes(dir / "配置.ini"));
}

TEST(ConfigFileTest, FailedWriteLeavesOldFileIntactAndNoTempFile) {
  test_support::TempDir dir;
  std::string original = "[S]\r\nk=old\r\n; comment\r\n[T]\r\nt=1\r\n";
  WriteFileBytes(dir / "配置.ini", original);
  for (size_t budget : {size_t{0}, size_t{5}, size_t{9}}) {
    // A disk that fills up after `budget` bytes.
    ConfigFile config(dir.path().string(), [budget](int fd, std::string_view bytes) {
      size_t n = std::min(budget, bytes.size());
      return write(fd, bytes.data(), n) == static_cast<ssize_t>(n) && n == bytes.size();
    });
    EXPECT_FALSE(config.Write("S", "k", "new value that does not fit"));
    EXPECT_FALSE(config.DeleteSection("S"));
    EXPECT_EQ(original, ReadFileBytes(dir / "配置.ini"));
    EXPECT_EQ(std::vector<std::string>{"配置.ini"}, FilesIn(dir.path()));
    EXPECT_EQ("old", config.Read("S", "k"));
  }
  // The same writer with room enough succeeds.
  ConfigFile roomy(dir.path().string(), [](int fd, std::string_view bytes) {
    return write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  });
  EXPECT_TRUE(roomy.Write("S", "k", "new"));
  EXPECT_EQ("new", roomy.Read("S", "k"));
}

TEST(ConfigFileTest, SeveralKeysOfASectionChangeInOneReplacementOrNotAtAll) {
  test_support::TempDir dir;
  const std::string original = "[S]\r\nb=old\r\n[T]\r\nt=1\r\n";
  WriteFileBytes(dir / "配置.ini", original);
  std::vector<std::string> written;
  bool full = false;
  ConfigFile config(dir.path().string(), [&](int fd, std::string_view bytes) {
    written.emplace_back(bytes);
    return !full && write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  });
  const ConfigFile::KeyValue keys[] = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
  full = true;
  EXPECT_FALSE(config.WriteKeys("S", keys));
  const ConfigFile::KeyValue rejected[] = {{"a", "1"}, {"b", "two\nlines"}};
  EXPECT_FALSE(config.WriteKeys("S", rejected));
  EXPECT_EQ(original, ReadFileBytes(dir / "配置.ini"));
  EXPECT_EQ(std::vector<std::string>{"配置.ini"}, FilesIn(dir.path()));

  full = false;
  written.clear();
  EXPECT_TRUE(config.WriteKeys("S", keys));
  EXPECT_EQ(std::vector<std::string>{"[S]\r\nb=2\r\na=1\r\nc=3\r\n[T]\r\nt=1\r\n"}, written);
  EXPECT_EQ(written.front(), ReadFileBytes(dir / "配置.ini"));
}

TEST(ConfigFileTest, SettingsFileIsPrivateWhateverTheUmaskAndNeverGainsBits) {
  test_support::TempDir dir;
  ConfigFile config(dir.path().string());
  const std::filesystem::path file = dir / "配置.ini";
  const mode_t old_umask = umask(0);
  EXPECT_TRUE(config.Write("S", "password", "secret"));
  EXPECT_EQ(0600u, Mode(file));
  // A file left readable by others loses that; one the user made stricter stays so.
  for (auto [before, after] : {std::pair{0644u, 0600u}, {0666u, 0600u}, {0400u, 0400u}}) {
    chmod(file.c_str(), before);
    EXPECT_TRUE(config.Write("S", "cookie", std::to_string(before)));
    EXPECT_EQ(after, Mode(file)) << std::oct << before;
  }
  umask(old_umask);
}

TEST(ConfigFileTest, UnwritableLocationsReportFailure) {
  test_support::TempDir dir;
  // The directory is really a file.
  WriteFileBytes(dir / "plain", "x");
  ConfigFile in_file((dir / "plain").string());
  EXPECT_FALSE(in_file.Write("S", "k", "v"));
  EXPECT_EQ("", in_file.Read("S", "k"));
  EXPECT_EQ("x", ReadFileBytes(dir / "plain"));
  // The settings file's name is taken by a directory: it can be neither read nor replaced.
  std::filesystem::create_directory(dir / "配置.ini");
  ConfigFile blocked(dir.path().string());
  EXPECT_FALSE(blocked.Write("S", "k", "v"));
  std::vector<std::string> files = FilesIn(dir.path());
  std::sort(files.begin(), files.end());
  EXPECT_EQ((std::vector<std::string>{"plain", "配置.ini"}), files);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "配置.ini"));
  EXPECT_FALSE(ConfigFile((dir / "missing" / "sub").string()).Write("S", "k", "v"));
}

TEST(ConfigFileTest, ConcurrentWritersLoseNoKey) {
  test_support::TempDir dir;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&dir, t] {
      ConfigFile config(dir.path().string());
      for (int i = 0; i < 10; ++i) {
        config.Write("S", "k" + std::to_string(t) + "_" + std::to_string(i), std::to_string(i));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  ConfigFile config(dir.path().string());
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(std::to_string(i),
                config.Read("S", "k" + std::to_string(t) + "_" + std::to_string(i)));
    }
  }
}

}  // namespace
}  // namespace app
