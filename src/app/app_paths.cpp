#include "app/app_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

#include "app/autostart.h"

#ifndef FUNDVIEW_INSTALL_BINDIR
#define FUNDVIEW_INSTALL_BINDIR ""
#endif

namespace app {

namespace fs = std::filesystem;

namespace {

bool IsDirectory(const fs::path& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file: a quoted absolute path or one
// starting with "$HOME/"; empty when the file does not set it in either form.
fs::path DocumentsDirFromUserDirs(const fs::path& file, const fs::path& home) {
  std::ifstream in(file);
  std::string line;
  fs::path found;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    if (line.rfind(key, 0) != 0) continue;
    const size_t end = line.find('"', key.size());
    if (end == std::string::npos) continue;
    const std::string value = line.substr(key.size(), end - key.size());
    if (value == "$HOME") {
      found = home;
    } else if (value.rfind("$HOME/", 0) == 0) {
      found = home / value.substr(6);
    } else if (!value.empty() && value[0] == '/') {
      found = value;
    }
  }
  return found;
}

// The user may create files in `dir`.
bool UserCanWrite(const fs::path& dir) { return access(dir.c_str(), W_OK | X_OK) == 0; }

// The folder the program was installed to: files a user makes do not belong there, even when
// the user (root) may write it.
bool IsInstallFolder(const fs::path& dir) {
  const fs::path bindir = FUNDVIEW_INSTALL_BINDIR;
  if (bindir.empty()) return false;
  std::error_code error;
  return fs::equivalent(dir, bindir, error);
}

AppPaths Common(const fs::path& executable) {
  AppPaths paths;
  paths.executable = executable;
  // Without a home directory the guard file stays beside the program rather than in a
  // folder other users could write.
  const fs::path home = HomeDir();
  const fs::path state_home = home.empty() ? executable.parent_path() : home / ".local" / "state";
  paths.guard_file = state_home / "fundview" / "记录.txt";
  paths.autostart_dir = DefaultAutostartDir();
  const char* data_home = std::getenv("XDG_DATA_HOME");
  paths.data_dir = data_home && data_home[0] == '/' ? fs::path(data_home) / "fundview"
                   : home.empty()                   ? executable.parent_path() / "fundview"
                                                    : home / ".local" / "share" / "fundview";
  const char* cache_home = std::getenv("XDG_CACHE_HOME");
  const fs::path cache_dir = cache_home && cache_home[0] == '/' ? fs::path(cache_home) / "fundview"
                             : home.empty() ? executable.parent_path() / "fundview"
                                            : home / ".cache" / "fundview";
  paths.cache_file = cache_dir / "cache.sqlite3";
  return paths;
}

}  // namespace

fs::path HomeDir() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  if (const passwd* account = getpwuid(geteuid());
      account && account->pw_dir && account->pw_dir[0] == '/') {
    return account->pw_dir;
  }
  return {};
}

fs::path ConfigHome() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return xdg;
  return HomeDir() / ".config";
}

fs::path UserDocumentsDir() {
  fs::path home = HomeDir();
  if (fs::path named = DocumentsDirFromUserDirs(ConfigHome() / "user-dirs.dirs", home);
      IsDirectory(named)) {
    return named;
  }
  if (IsDirectory(home / "Documents")) return home / "Documents";
  return home;
}

AppPaths AppPaths::Beside(const fs::path& executable) {
  AppPaths paths = Common(executable);
  paths.run_dir = executable.parent_path();
  paths.workbook_dir = paths.run_dir;
  return paths;
}

AppPaths AppPaths::PerUser(const fs::path& executable) {
  AppPaths paths = Common(executable);
  paths.run_dir = ConfigHome() / "fundview";
  paths.workbook_dir = UserDocumentsDir();
  // The settings file holds a password: its folder is the user's alone. The parent folders
  // are made as the user's umask has them; an existing folder is left as it is.
  std::error_code error;
  fs::create_directories(paths.run_dir.parent_path(), error);
  mkdir(paths.run_dir.c_str(), 0700);
  return paths;
}

AppPaths AppPaths::ForExecutable(const fs::path& executable) {
  const fs::path dir = executable.parent_path();
  if (UserCanWrite(dir) && !IsInstallFolder(dir)) return Beside(executable);
  return PerUser(executable);
}

}  // namespace app
