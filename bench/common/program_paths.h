#pragma once

// The program's folders under a temporary root, as a benchmark runs the program there.

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/app.h"

namespace bench_common {

// A new folder "/tmp/<name>_XXXXXX".
inline std::filesystem::path TemporaryRoot(const std::string& name) {
  std::string path = "/tmp/" + name + "_XXXXXX";
  return mkdtemp(path.data());
}

// Every folder under `root`; the run, documents and data folders made.
inline app::AppPaths ProgramPaths(const std::filesystem::path& root) {
  app::AppPaths paths;
  paths.run_dir = root / "run";
  paths.workbook_dir = root / "documents";
  paths.executable = paths.run_dir / "fundview";
  paths.guard_file = root / "state" / "记录.txt";
  paths.autostart_dir = root / "autostart";
  paths.data_dir = root / "data";
  paths.cache_file = root / "cache" / "cache.sqlite3";
  for (const auto& folder : {paths.run_dir, paths.workbook_dir, paths.data_dir}) {
    std::filesystem::create_directories(folder);
  }
  return paths;
}

}  // namespace bench_common
