#include "export/grid_export.h"

#include "base/text.h"
#include "export/compound_file.h"
#include "export/utf16.h"
#include "export/workbook_stream.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/list_view.h"

namespace exporter {

namespace {

class GridTable : public TableSource {
 public:
  explicit GridTable(const ui::Grid& grid) : grid_(grid) {}
  int RowCount() const override { return grid_.RowCount(); }
  int ColumnCount() const override { return grid_.ColumnCount(); }
  std::string_view Text(int row, int column) const override { return grid_.Text(row, column); }

 private:
  const ui::Grid& grid_;
};

// Row 0 holds the column headers, so that a list exports like a grid.
class ListTable : public TableSource {
 public:
  explicit ListTable(const ui::ListView& list) : list_(list) {}
  int RowCount() const override { return list_.RowCount() + 1; }
  int ColumnCount() const override { return list_.ColumnCount(); }
  std::string_view Text(int row, int column) const override {
    return row == 0 ? std::string_view(list_.Columns()[column].header)
                    : std::string_view(list_.Text(row - 1, column));
  }

 private:
  const ui::ListView& list_;
};

// Why the table cannot go into one worksheet, or empty when it can.
std::string TooLargeText(const TableSource& table) {
  const int rows = table.RowCount();
  const int cols = table.ColumnCount();
  if (rows > kMaxRows || cols > kMaxColumns) {
    return "表格有" + base::IntToText(rows) + "行" + base::IntToText(cols) +
           "列，超出 Excel 97-2003 工作表的上限（" + base::IntToText(kMaxRows) + "行、" +
           base::IntToText(kMaxColumns) + "列），没有导出。";
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const std::string_view text = table.Text(r, c);
      // UTF-8 never has fewer bytes than UTF-16 units, so short texts need no count.
      if (text.size() > kMaxCellUnits && Utf16Length(text) > kMaxCellUnits) {
        return "第" + base::IntToText(r + 1) + "行第" + base::IntToText(c + 1) + "列的文字超过" +
               base::IntToText(kMaxCellUnits) + "个字符，Excel 97-2003 单元格存不下，没有导出。";
      }
    }
  }
  return {};
}

}  // namespace

std::string WriteWorkbook(const TableSource& table, const std::string& path,
                          const OutputOpener& open) {
  if (std::string refusal = TooLargeText(table); !refusal.empty()) return refusal;
  const WorkbookStream stream = BuildWorkbookStream(table);
  // Stream offsets are 32-bit and older readers take no compound file past 2 GB.
  constexpr size_t kMaxStreamBytes = (size_t{1} << 31) - (size_t{1} << 24);
  if (stream.globals.size() + stream.sheet.size() > kMaxStreamBytes) {
    return "表格的文字太多，超出 Excel 97-2003 工作簿的容量，没有导出。";
  }
  std::unique_ptr<OutputFile> out = open(path);
  if (!out || !WriteCompoundFile({stream.globals, stream.sheet}, *out) || !out->Commit()) {
    return "无法写入文件 " + path + "，没有导出。";
  }
  return {};
}

GridSnapshot::GridSnapshot(const ui::Grid& grid)
    : GridSnapshot(grid.RowCount(), grid.ColumnCount()) {
  CopyRows(grid, 0, rows_);
}

GridSnapshot::GridSnapshot(int rows, int columns) : rows_(rows), columns_(columns) {
  ends_.reserve(static_cast<size_t>(rows_) * static_cast<size_t>(columns_) + 1);
}

void GridSnapshot::CopyRows(const ui::Grid& grid, int from, int to) {
  for (int row = from; row < to; ++row) {
    for (int column = 0; column < columns_; ++column) {
      chars_ += grid.Text(row, column);
      ends_.push_back(chars_.size());
    }
  }
}

namespace {

bool ExportTable(const TableSource& table, const std::string& path, ui::Dialogs& dialogs,
                 const OutputOpener& open) {
  const std::string failure = WriteWorkbook(table, path, open);
  if (failure.empty()) return true;
  dialogs.MessageBox(failure);
  return false;
}

}  // namespace

bool ExportGrid(const ui::ListView* list_view, const ui::Grid* grid, const std::string& path,
                ui::Dialogs& dialogs, const OutputOpener& open) {
  if (list_view == nullptr && grid == nullptr) {
    dialogs.MessageBox(kNoSourceText);
    return false;
  }
  if (list_view != nullptr && grid != nullptr) {
    dialogs.MessageBox(kTwoSourcesText);
    return false;
  }
  if (grid != nullptr) return ExportTable(GridTable(*grid), path, dialogs, open);
  return ExportTable(ListTable(*list_view), path, dialogs, open);
}

}  // namespace exporter
