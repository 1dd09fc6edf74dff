#pragma once

// Opening the ledger's file with a copy first: a file of an older schema is copied beside
// itself, as `<name>.bak-v<its version>`, before the first step of its upgrade runs. Each step
// of the upgrade is one transaction with its version number, so a kill leaves the old or the
// new schema, whole; the copy is made under a temporary name and renamed once it is on disk.

#include <filesystem>

#include "store/database.h"

namespace positions {

// The name of the copy kept of a file of `version` before its upgrade.
std::filesystem::path BackupPath(const std::filesystem::path& path, int version);

// store::Database::Open with the copy above. When the copy cannot be made the file is not
// upgraded and nothing is given.
store::OpenResult OpenUpgrading(const std::filesystem::path& path,
                                const store::Migrations& migrations);

}  // namespace positions
