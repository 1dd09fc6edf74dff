#include "app/autostart.h"

#include <cstdlib>
#include <system_error>

#include "base/files.h"

namespace app {

namespace fs = std::filesystem;

fs::path DefaultAutostartDir() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    return fs::path(xdg) / "autostart";
  }
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/") / ".config" / "autostart";
}

fs::path AutostartEntryPath(const fs::path& dir, const std::string& name) {
  return dir / (name + ".desktop");
}

std::string DesktopExecValue(const std::string& target) {
  std::string exec = "\"";
  for (char c : target) {
    if (c == '\n' || c == '\r' || c == '\0') return "";
    // Inside quotes these four need a backslash; the desktop-entry reader then unescapes
    // backslashes once more, hence the doubling. "%" introduces a field code.
    if (c == '"' || c == '`' || c == '$') {
      exec += "\\\\";
      exec += c;
    } else if (c == '\\') {
      exec += "\\\\\\\\";
    } else if (c == '%') {
      exec += "%%";
    } else {
      exec += c;
    }
  }
  exec += '"';
  return exec;
}

bool AddAutostartEntry(const fs::path& dir, const std::string& name, const fs::path& target) {
  if (name.empty() || name.find_first_of("/\r\n") != std::string::npos) return false;
  std::error_code error;
  if (!fs::exists(target, error)) return false;
  const std::string exec = DesktopExecValue(target.string());
  if (exec.empty()) return false;
  const fs::path entry = AutostartEntryPath(dir, name);
  fs::create_directories(dir, error);
  const std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=" +
      name +
      "\n"
      "Exec=" +
      exec +
      "\n"
      "X-GNOME-Autostart-enabled=true\n";
  return base::ReplaceFile(entry, text, base::FileMode::KeepExisting(0644));
}

bool RemoveAutostartEntry(const fs::path& dir, const std::string& name) {
  std::error_code error;
  return fs::remove(AutostartEntryPath(dir, name), error);
}

}  // namespace app
