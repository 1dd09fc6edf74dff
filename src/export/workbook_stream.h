#pragma once

// The BIFF8 Workbook stream of a one-sheet workbook holding a table: every non-empty cell as a
// shared-string text cell, empty cells as formatted blank cells, the header row bold, the first
// two columns with the "000000" format, thin borders, centred, 宋体 12 pt, rows 18 pt, column A
// 22 characters wide and the others 8.8, panes frozen at B2.

#include <string>

#include "export/table_source.h"

namespace exporter {

// What a worksheet can hold.
constexpr int kMaxRows = 65536;
constexpr int kMaxColumns = 256;
constexpr size_t kMaxCellUnits = 32767;  // UTF-16 code units per cell

// The stream in two parts: the workbook globals, then the worksheet. Together they are at
// least 4096 bytes (zero padding after the sheet's end), so that the stream lives in regular
// sectors of the compound file.
struct WorkbookStream {
  std::string globals;
  std::string sheet;
};

// The table must be within the limits above (checked by the caller).
WorkbookStream BuildWorkbookStream(const TableSource& table);

}  // namespace exporter
