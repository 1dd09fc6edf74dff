#include "base/files.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace base {

namespace {

void SyncDirectory(const std::filesystem::path& directory) {
  int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info;
  return !path.empty() && stat(path.c_str(), &info) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes,
                 const WriteFunction& write_bytes) {
  const std::filesystem::path directory = path.parent_path();
  const std::string name = (directory / ("." + path.filename().string() + ".XXXXXX")).string();
  std::vector<char> temp(name.begin(), name.end());
  temp.push_back('\0');
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat old_info;
  mode_t mode = stat(path.c_str(), &old_info) == 0 ? (old_info.st_mode & 07777) : 0644;
  bool ok = write_bytes(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.data(), path.c_str()) == 0;
  if (!ok) {
    unlink(temp.data());
    return false;
  }
  SyncDirectory(directory);
  return true;
}

}  // namespace base
