#pragma once

// Reading what is left of a damaged database file: the rows of one table that can still be
// read, found by walking the table's tree of pages from the root page the file's own schema
// names. Every page that cannot be read (past the end of a cut-off file, not a page of a table,
// cells outside the page) is skipped with everything below it, and every cell that does not
// decode is skipped on its own; what the walk reaches is read as it stands. Only the file is
// read, not a write-ahead log beside it. SQLite is not asked: it stops at the first fault.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace store {

// A column's value: NULL, an integer, a real number, or a text or blob's bytes.
using SalvagedValue = std::variant<std::monostate, std::int64_t, double, std::string>;

struct SalvagedRow {
  std::int64_t rowid = 0;
  // The columns as stored, in the table's order; a column added to the table after the row
  // was written is missing at the end. An INTEGER PRIMARY KEY column is stored as NULL (the
  // rowid is its value).
  std::vector<SalvagedValue> values;
};

// The readable rows of `table` in `file`, by rowid; none when the file's header or the
// schema's entry for the table cannot be read.
std::vector<SalvagedRow> SalvageRows(const std::filesystem::path& file, std::string_view table);

}  // namespace store
