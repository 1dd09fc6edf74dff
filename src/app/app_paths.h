#pragma once

// Where the program's files go. A copy run from a folder its user can write keeps its settings
// file and its workbooks beside itself; an installed program (its folder not the user's to
// write, or the folder it was installed to) keeps them per user: the settings file in
// $XDG_CONFIG_HOME/fundview and the workbooks in the user's documents folder.

#include <filesystem>

namespace app {

struct AppPaths {
  std::filesystem::path run_dir;       // holds 配置.ini
  std::filesystem::path workbook_dir;  // where the day's workbook is written and looked for
  std::filesystem::path executable;    // full path of the running program
  std::filesystem::path guard_file;    // the download guard file
  // Where the log-on autostart entry goes; read from the environment once, at start.
  std::filesystem::path autostart_dir;
  // The user's data that is no cache: $XDG_DATA_HOME/fundview (the positions ledger).
  std::filesystem::path data_dir;
  // The local cache: $XDG_CACHE_HOME/fundview/cache.sqlite3. May be deleted at any time.
  std::filesystem::path cache_file;

  // Paths for the program at `executable`: beside it (Beside) when its folder is writable by
  // the user and is not the folder the program is installed to, else per user (PerUser).
  static AppPaths ForExecutable(const std::filesystem::path& executable);
  // Settings and workbooks in the executable's folder.
  static AppPaths Beside(const std::filesystem::path& executable);
  // Settings in $XDG_CONFIG_HOME/fundview (made 0700 when missing), workbooks in
  // UserDocumentsDir().
  static AppPaths PerUser(const std::filesystem::path& executable);
};

// The user's home: $HOME, else the account's home directory; empty when there is none.
std::filesystem::path HomeDir();
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::filesystem::path ConfigHome();
// XDG_DOCUMENTS_DIR of <config home>/user-dirs.dirs when it names an existing folder, else
// ~/Documents when it exists, else the home folder.
std::filesystem::path UserDocumentsDir();

}  // namespace app
