#pragma once

// Where the exported file's bytes go. A file is either written whole or not at all: the real
// one is base::AtomicFile, whose temporary file replaces the target only when every byte has
// been written and flushed. Tests put a failing file in front of it.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace exporter {

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // False once any write has failed; later writes are ignored.
  virtual bool Write(std::string_view bytes) = 0;
  // Puts the file in place. False when anything failed, and then nothing is left behind.
  virtual bool Commit() = 0;
};

// Opens a temporary file in the directory of `path`; nullptr when it cannot be created. The
// workbook gets mode 0666 less the umask. Destroying the object without a successful Commit
// removes the temporary file.
std::unique_ptr<OutputFile> OpenAtomicFile(const std::string& path);

// How the export opens its file; tests pass one that fails on purpose.
using OutputOpener = std::function<std::unique_ptr<OutputFile>(const std::string& path)>;

}  // namespace exporter
