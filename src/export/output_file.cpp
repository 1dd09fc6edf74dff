#include "export/output_file.h"

#include "base/files.h"

namespace exporter {

namespace {

class AtomicOutputFile : public OutputFile {
 public:
  explicit AtomicOutputFile(std::unique_ptr<base::AtomicFile> file) : file_(std::move(file)) {}
  bool Write(std::string_view bytes) override { return file_->Write(bytes); }
  bool Commit() override { return file_->Commit(); }

 private:
  std::unique_ptr<base::AtomicFile> file_;
};

}  // namespace

std::unique_ptr<OutputFile> OpenAtomicFile(const std::string& path) {
  // 0666 less the umask, as for any newly saved document.
  std::unique_ptr<base::AtomicFile> file =
      base::AtomicFile::Open(path, base::FileMode::LessUmask(0666));
  if (!file) return nullptr;
  return std::make_unique<AtomicOutputFile>(std::move(file));
}

}  // namespace exporter
