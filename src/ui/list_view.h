#pragma once

// A report-style list view: a header of columns and rows of text items. Rows count from 0
// here; the program's own numbering (the "序" column) is text it writes itself.

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/grid.h"

namespace ui {

struct ListColumn {
  std::string header;
  int width = 64;
};

class ListView : public Control {
 public:
  ControlKind Kind() const override { return ControlKind::kListView; }

  // Sets the columns and removes every row.
  void SetColumns(std::vector<ListColumn> columns);
  const std::vector<ListColumn>& Columns() const { return columns_; }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }

  // Appends an empty row and returns its index.
  int InsertRow();
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // The rows below move up; the current row stays on the row it was (none if it was this one).
  void DeleteRow(int row);
  void Clear();

  // Cells outside the list are ignored on write and read as empty.
  const std::string& Text(int row, int column) const;
  void SetText(int row, int column, std::string text);

  // Height in pixels of the header and of every row; 0 leaves it to the toolkit. A design
  // property, read when the view is made.
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int pixels) { item_height_ = pixels; }

  // The selected row, -1 when none.
  int CurrentRow() const { return current_row_; }
  void SetCurrentRow(int row);

  void SetObserver(GridObserver* observer) { observer_ = observer; }

  // Events raised by the view, with the row under the mouse (-1 when none).
  std::function<void(int row)> on_item_event;
  std::function<void(int row)> on_double_click;
  std::function<void(int row)> on_right_click;

 private:
  void UpdateCurrentRow(int row);

  std::vector<ListColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
  int current_row_ = -1;
  int item_height_ = 0;
  GridObserver* observer_ = nullptr;
};

}  // namespace ui
