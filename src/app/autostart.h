#pragma once

// Start at log-on: an XDG autostart entry <config home>/autostart/<name>.desktop that runs
// the program. The config home is $XDG_CONFIG_HOME, else $HOME/.config.

#include <filesystem>
#include <string>

namespace app {

std::filesystem::path AutostartEntryPath(const std::string& name);

// Creates or replaces the entry `name` running `target`. False, creating nothing, when the
// target does not exist or the entry cannot be written.
bool AddAutostartEntry(const std::string& name, const std::filesystem::path& target);

// Deletes the entry `name`; true when a file was deleted.
bool RemoveAutostartEntry(const std::string& name);

// The Exec value that runs `target` with no arguments, quoted and escaped for a desktop
// entry; empty when the path cannot be expressed (a line break in it).
std::string DesktopExecValue(const std::string& target);

}  // namespace app
