#pragma once

// File helpers: existence, and whole-file replacement that a crash or a full disk cannot leave half
// done: the new content goes to a temporary file beside the target, which is renamed over the
// target only once it is complete and on disk.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace base {

// True when `path` names an existing file or directory.
bool FileExists(const std::string& path);

// Writes `bytes` to the open file `fd`; false on any failure. The real one loops over
// write(2); tests pass one that fails part-way.
using WriteFunction = std::function<bool(int fd, std::string_view bytes)>;

bool WriteAll(int fd, std::string_view bytes);

// Replaces `path` with `bytes`, keeping its permission bits (0644 for a new file). On failure
// (false) the old file is untouched and the temporary file is gone.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes,
                 const WriteFunction& write_bytes = WriteAll);

}  // namespace base
