#pragma once

#include <cstdio>
#include <filesystem>

namespace test_support {

// Another process (Debian's python3 with its sqlite3 module) that holds the write lock of the
// SQLite file at `database` from construction until destruction, in the middle of a write of
// its own to the table `table`, which must have two text columns.
class WriteLockHolder {
 public:
  WriteLockHolder(const std::filesystem::path& database, const char* table);
  ~WriteLockHolder();
  WriteLockHolder(const WriteLockHolder&) = delete;
  WriteLockHolder& operator=(const WriteLockHolder&) = delete;

  // False when the process could not take the lock.
  bool Holding() const { return holding_; }

 private:
  std::FILE* process_ = nullptr;
  bool holding_ = false;
};

}  // namespace test_support
