#pragma once

// Export of a grid (or a list view) to an Excel 97-2003 workbook.

#include <string>

#include "export/output_file.h"

namespace ui {
class Dialogs;
class Grid;
class ListView;
}  // namespace ui

namespace exporter {

inline constexpr char kNoSourceText[] = "超级列表框与高级列表框不能同为空!";
inline constexpr char kTwoSourcesText[] = "超级列表框与高级列表框不能同时保存!";

// Writes the one given source to `path` as a workbook of one sheet and returns true on
// success. Exactly one of `list_view` and `grid` must be given; a list view exports its column
// headers as the first row. Every refusal and failure is shown in a message box and returns
// false without leaving a file behind (an existing file of that name is kept); on success an
// existing file of that name is replaced. `open` is where the bytes go.
bool ExportGrid(const ui::ListView* list_view, const ui::Grid* grid, const std::string& path,
                ui::Dialogs& dialogs, const OutputOpener& open = OpenAtomicFile);

}  // namespace exporter
