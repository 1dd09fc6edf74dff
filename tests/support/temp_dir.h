#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// A fresh directory under the system's temporary folder, removed with everything in it
// when the object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Path of a file inside the directory.
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Whole-file helpers for tests: bytes in, bytes out.
std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

// The names in a directory, sorted.
std::vector<std::string> Listing(const std::filesystem::path& dir);

}  // namespace test_support
