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

// A grid's texts as they were when they were copied, to be written on a worker while the grid
// changes. A large grid is copied a stretch of rows at a time (CopyRows from row 0 on), so that
// no single turn of the user-interface thread takes long.
class GridSnapshot : public TableSource {
 public:
  GridSnapshot() = default;
  // The whole grid at once.
  explicit GridSnapshot(const ui::Grid& grid);
  // Room for the grid's rows and columns, none copied yet.
  GridSnapshot(int rows, int columns);
  // Copies rows [from, to) of `grid`, which has the snapshot's columns; rows are copied in order.
  void CopyRows(const ui::Grid& grid, int from, int to);
  int RowCount() const override { return rows_; }
  int ColumnCount() const override { return columns_; }
  std::string_view Text(int row, int column) const override {
    const size_t cell =
        static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(column);
    return std::string_view(chars_).substr(ends_[cell], ends_[cell + 1] - ends_[cell]);
  }

 private:
  int rows_ = 0;
  int columns_ = 0;
  // The texts one after the other, and where each ends (ends_[0] is 0): one copy without an
  // allocation per cell keeps the UI thread's part short.
  std::string chars_;
  std::vector<size_t> ends_{0};
};

// ExportGrid's work for a table without the message box, safe on any thread: the text of the
// refusal or failure, empty when the workbook was written.
std::string WriteWorkbook(const TableSource& table, const std::string& path,
                          const OutputOpener& open = OpenAtomicFile);

}  // namespace exporter
