#include "positions/store_upgrade.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

namespace positions {

namespace {

bool SyncFile(const std::filesystem::path& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

// A whole copy of the open file (its write-ahead log included) at `target`, private like the
// file itself; any earlier copy of the same version is replaced.
bool CopyWhole(store::Database& database, const std::filesystem::path& target) {
  std::filesystem::path temp = target;
  temp += ".tmp";
  std::error_code error;
  std::filesystem::remove(temp, error);
  // The copy must start as an empty file; made here so that it is 0600 from the first byte.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  if (!database.Execute("VACUUM INTO " + Quoted(temp.string())) || !SyncFile(temp, O_RDONLY)) {
    std::filesystem::remove(temp, error);
    return false;
  }
  std::filesystem::rename(temp, target, error);
  if (error) {
    std::filesystem::remove(temp, error);
    return false;
  }
  return SyncFile(target.parent_path().empty() ? "." : target.parent_path(), O_RDONLY);
}

}  // namespace

std::filesystem::path BackupPath(const std::filesystem::path& path, int version) {
  std::filesystem::path backup = path;
  return backup += ".bak-v" + std::to_string(version);
}

store::OpenResult OpenUpgrading(const std::filesystem::path& path,
                                const store::Migrations& migrations) {
  std::error_code error;
  const bool existing = std::filesystem::file_size(path, error) > 0 && !error;
  if (!existing) return store::Database::Open(path, migrations);
  // Opened with the first `version` steps only, a file opens unchanged when it is of that
  // version and is refused when it is newer: the first that opens tells the file's version.
  for (size_t version = 1; version < migrations.size(); ++version) {
    store::OpenResult probe = store::Database::Open(
        path, store::Migrations(migrations.begin(), migrations.begin() + version));
    if (!probe.database) continue;
    // A damaged file was moved aside and a new one begun; a read-only one is not upgraded.
    if (probe.moved_aside.empty() && !probe.read_only &&
        !CopyWhole(*probe.database, BackupPath(path, static_cast<int>(version)))) {
      return {nullptr, "cannot copy the file before its upgrade", {}, false};
    }
    const std::filesystem::path moved_aside = probe.moved_aside;
    probe.database.reset();
    store::OpenResult opened = store::Database::Open(path, migrations);
    if (opened.moved_aside.empty()) opened.moved_aside = moved_aside;
    return opened;
  }
  // No older version opened: the file is of the newest one, or cannot be used just now. Steps
  // that always fail keep a file that only now opens from being upgraded without its copy.
  return store::Database::Open(path,
                               store::Migrations(migrations.size(), "SELECT upgrade_needs_copy()"));
}

}  // namespace positions
