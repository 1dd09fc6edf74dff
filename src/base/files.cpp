#include "base/files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <vector>

namespace base {

namespace {

void SyncDirectory(const std::filesystem::path& directory) {
  int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// The umask without changing it: umask(2) can only be read by setting it, which would race
// with files other threads create meanwhile.
mode_t CurrentUmask() {
  if (FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status)) {
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    }
    std::fclose(status);
    if (found) return static_cast<mode_t>(mask);
  }
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

mode_t ModeFor(const std::filesystem::path& target, const FileMode& mode) {
  struct stat info;
  if (mode.keep != 0 && stat(target.c_str(), &info) == 0) return info.st_mode & mode.keep;
  return mode.less_umask ? (mode.fresh & ~CurrentUmask() & 07777) : mode.fresh;
}

// mkstemp's replacement for "XXXXXX".
bool IsTempSuffix(std::string_view suffix) {
  if (suffix.size() != 6) return false;
  for (char c : suffix) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) return false;
  }
  return true;
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

std::unique_ptr<AtomicFile> AtomicFile::Open(const std::filesystem::path& target, FileMode mode,
                                             WriteFunction write_bytes) {
  const std::string name =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> temp(name.begin(), name.end());
  temp.push_back('\0');
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::unique_ptr<AtomicFile>(
      new AtomicFile(target, temp.data(), fd, mode,
                     write_bytes ? std::move(write_bytes) : WriteFunction(WriteAll)));
}

AtomicFile::AtomicFile(std::filesystem::path target, std::filesystem::path temp, int fd,
                       FileMode mode, WriteFunction write_bytes)
    : target_(std::move(target)),
      temp_(std::move(temp)),
      fd_(fd),
      mode_(mode),
      write_bytes_(std::move(write_bytes)) {}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) close(fd_);
  if (!committed_) unlink(temp_.c_str());
}

bool AtomicFile::Write(std::string_view bytes) {
  if (ok_ && !committed_ && !bytes.empty()) ok_ = write_bytes_(fd_, bytes);
  return ok_;
}

bool AtomicFile::Commit() {
  if (!ok_ || committed_ || fd_ < 0) return false;
  // The mode is set before the flush so that it reaches the disk with the content, and the
  // flush comes before the rename so that a full disk shows here rather than as a truncated
  // file under the target's name.
  ok_ = fchmod(fd_, ModeFor(target_, mode_)) == 0 && fsync(fd_) == 0;
  ok_ = close(fd_) == 0 && ok_;
  fd_ = -1;
  if (!ok_ || rename(temp_.c_str(), target_.c_str()) != 0) {
    ok_ = false;
    return false;
  }
  committed_ = true;
  SyncDirectory(target_.parent_path());
  return true;
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, FileMode mode,
                 const WriteFunction& write_bytes) {
  std::unique_ptr<AtomicFile> file = AtomicFile::Open(path, mode, write_bytes);
  return file && file->Write(bytes) && file->Commit();
}

int RemoveStaleTempFiles(const std::filesystem::path& target) {
  const std::string target_name = target.filename().string();
  return RemoveStaleTempFiles(
      target.parent_path(), [&target_name](std::string_view name) { return name == target_name; });
}

int RemoveStaleTempFiles(const std::filesystem::path& directory,
                         const std::function<bool(std::string_view name)>& is_target) {
  DIR* listing = opendir(directory.empty() ? "." : directory.c_str());
  if (listing == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = readdir(listing)) {
    // "." + target + "." + six letters or digits, the target's name not empty.
    const std::string_view name = entry->d_name;
    if (name.size() < 9 || name.front() != '.' || name[name.size() - 7] != '.' ||
        !IsTempSuffix(name.substr(name.size() - 6)) ||
        !is_target(name.substr(1, name.size() - 8))) {
      continue;
    }
    // lstat, so that a link is judged as itself and never leads to what it points at.
    struct stat info;
    if (fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
      continue;
    }
    if (unlinkat(dirfd(listing), entry->d_name, 0) == 0) ++removed;
  }
  closedir(listing);
  return removed;
}

}  // namespace base
