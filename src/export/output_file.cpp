#include "export/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <random>

namespace exporter {

namespace {

class AtomicFile : public OutputFile {
 public:
  AtomicFile(std::string path, std::string temp, int fd)
      : path_(std::move(path)), temp_(std::move(temp)), fd_(fd) {}

  ~AtomicFile() override {
    if (fd_ >= 0) close(fd_);
    if (!committed_) unlink(temp_.c_str());
  }

  bool Write(std::string_view bytes) override {
    while (ok_ && !bytes.empty()) {
      const ssize_t n = write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok_ = false;
        break;
      }
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return ok_;
  }

  bool Commit() override {
    if (!ok_ || committed_) return false;
    // Flush before the rename so that a full disk shows here rather than as a truncated file
    // under the target's name.
    ok_ = fsync(fd_) == 0;
    ok_ = close(fd_) == 0 && ok_;
    fd_ = -1;
    if (ok_ && rename(temp_.c_str(), path_.c_str()) == 0) committed_ = true;
    return committed_;
  }

 private:
  std::string path_;
  std::string temp_;
  int fd_;
  bool ok_ = true;
  bool committed_ = false;
};

std::string TempName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  static thread_local std::mt19937 random{std::random_device{}()};
  const std::filesystem::path target(path);
  return (target.parent_path() /
          ("." + target.filename().string() + ".tmp" + std::to_string(getpid()) + "-" +
           std::to_string(++counter) + "-" + std::to_string(random())))
      .string();
}

}  // namespace

std::unique_ptr<OutputFile> OpenAtomicFile(const std::string& path) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string temp = TempName(path);
    // 0666 less the umask, as for any newly saved document.
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return std::make_unique<AtomicFile>(path, std::move(temp), fd);
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

}  // namespace exporter
