#pragma once

// Start at log-on: an XDG autostart entry <autostart dir>/<name>.desktop that runs the program.
// The folder is given by the caller (AppPaths::autostart_dir), so nothing here reads the
// environment.

#include <filesystem>
#include <string>

namespace app {

// The user's autostart folder: $XDG_CONFIG_HOME/autostart when that is an absolute path, else
// $HOME/.config/autostart. Read once, when the program's paths are set up.
std::filesystem::path DefaultAutostartDir();

std::filesystem::path AutostartEntryPath(const std::filesystem::path& dir, const std::string& name);

// Creates or replaces the entry `name` in `dir` running `target`, creating `dir` as needed.
// A new entry is 0644, readable by the session that starts it; a replaced one keeps its mode.
// False, creating nothing, when the target does not exist or the entry cannot be written.
bool AddAutostartEntry(const std::filesystem::path& dir, const std::string& name,
                       const std::filesystem::path& target);

// Deletes the entry `name` in `dir`; true when a file was deleted.
bool RemoveAutostartEntry(const std::filesystem::path& dir, const std::string& name);

// The Exec value that runs `target` with no arguments, quoted and escaped for a desktop
// entry; empty when the path cannot be expressed (a line break in it).
std::string DesktopExecValue(const std::string& target);

}  // namespace app
