#pragma once

// Export of a grid (or a list view) to an Excel 97-2003 workbook.

#include <string>
#include <string_view>
#include <vector>

#include "export/output_file.h"
#include "export/table_source.h"

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

// A grid's texts as they were when it was taken, to be written on a worker while the grid
// changes.
class GridSnapshot : public TableSource {
 public:
  GridSnapshot() = default;
  explicit GridSnapshot(const ui::Grid& grid);
  int RowCount() const override { return rows_; }
  int ColumnCount() const override { return columns_; }
  std::string_view Text(int row, int column) const override {
    return texts_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                  static_cast<size_t>(column)];
  }

 private:
  int rows_ = 0;
  int columns_ = 0;
  std::vector<std::string> texts_;
};

// ExportGrid's work for a table without the message box, safe on any thread: the text of the
// refusal or failure, empty when the workbook was written.
std::string WriteWorkbook(const TableSource& table, const std::string& path,
                          const OutputOpener& open = OpenAtomicFile);

}  // namespace exporter
