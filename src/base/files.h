#pragma once

// File helpers: existence, and the one writer that replaces a file so that a crash or a full
// disk cannot leave it half done: the new content goes to a temporary file beside the target,
// named ".<name>.XXXXXX", which is renamed over the target only once it is complete and on disk.

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace base {

// True when `path` names an existing file or directory.
bool FileExists(const std::string& path);

// Writes `bytes` to the open file `fd`; false on any failure. The real one loops over
// write(2); tests pass one that fails part-way.
using WriteFunction = std::function<bool(int fd, std::string_view bytes)>;

bool WriteAll(int fd, std::string_view bytes);

// The permission bits a replaced file gets. The process umask is ignored unless `less_umask`.
struct FileMode {
  mode_t fresh = 0644;  // for a target that does not exist yet
  mode_t keep = 0;      // an existing target keeps (its mode & keep); 0: it gets `fresh` too
  bool less_umask = false;

  // An existing target keeps its mode; a new one gets `fresh`.
  static FileMode KeepExisting(mode_t fresh) { return {fresh, 07777, false}; }
  // Never more than `mask`: an existing target keeps only its bits inside it, a new one gets
  // all of them. Private files use 0600.
  static FileMode AtMost(mode_t mask) { return {mask, mask, false}; }
  // `mode` less the process umask, as for any newly saved document.
  static FileMode LessUmask(mode_t mode) { return {mode, 0, true}; }
};

// A file written in pieces and put in place whole. Destroying it without a successful Commit
// removes the temporary file and leaves the target as it was.
class AtomicFile {
 public:
  // Creates the temporary file beside `target`; nullptr when it cannot be created.
  static std::unique_ptr<AtomicFile> Open(const std::filesystem::path& target, FileMode mode,
                                          WriteFunction write_bytes = WriteAll);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // False once any write has failed; later writes are ignored.
  bool Write(std::string_view bytes);
  // Flushes the file, sets its mode, renames it over the target and flushes the directory.
  // False when anything before the rename failed; then nothing is left behind.
  bool Commit();

  const std::filesystem::path& temp_path() const { return temp_; }

 private:
  AtomicFile(std::filesystem::path target, std::filesystem::path temp, int fd, FileMode mode,
             WriteFunction write_bytes);

  std::filesystem::path target_;
  std::filesystem::path temp_;
  int fd_;
  FileMode mode_;
  WriteFunction write_bytes_;
  bool ok_ = true;
  bool committed_ = false;
};

// Replaces `path` with `bytes` through an AtomicFile. On failure (false) the old file is
// untouched and the temporary file is gone.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, FileMode mode,
                 const WriteFunction& write_bytes = WriteAll);

// Removes the temporary files an interrupted replacement of `target` left behind: regular
// files named "." + target's name + "." + six letters or digits, beside it. Other files,
// directories and symbolic links stay. Returns how many were removed.
int RemoveStaleTempFiles(const std::filesystem::path& target);
// The same for every target in `directory` whose file name `is_target` accepts, for writers
// whose targets are named by the day.
int RemoveStaleTempFiles(const std::filesystem::path& directory,
                         const std::function<bool(std::string_view name)>& is_target);

}  // namespace base
