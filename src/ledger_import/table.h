#pragma once

// A file to import as plain rows of text cells, whatever its format: a text table (CSV/TXT) or
// the first sheet of a workbook (XLSX). Plain values: no ui, no app.

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ledger_import {

// The most a file may hold: its bytes (and each part of a workbook once unpacked), and its
// cells. A file beyond them is refused with a message, never read into exhaustion.
inline constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;
inline constexpr std::size_t kMaxCells = 2'000'000;

struct SourceRow {
  // Where the row starts: the 1-based line of a text file (a quoted field may go on over the
  // next lines), or the row number of a sheet.
  int line = 0;
  // UTF-8, without the blanks around them; a row ends with its last cell that is not empty.
  std::vector<std::string> cells;

  bool operator==(const SourceRow&) const = default;
};

// The rows that hold at least one cell that is not empty, in the file's order.
struct Table {
  std::vector<SourceRow> rows;
};

// A table, or the message that says why the file cannot be read.
using TableOrError = std::variant<Table, std::string>;

// A cell's text without the blanks around it: ASCII blanks, line ends and the full-width space.
std::string TrimCell(std::string_view cell);

inline constexpr char kFileTooLargeText[] = "文件过大，无法导入（不能超过64MB或200万个单元格）";

}  // namespace ledger_import
