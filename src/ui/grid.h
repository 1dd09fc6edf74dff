#pragma once

// The advanced grid: a table of text cells with a per-cell text colour. Row 0 is the header
// row, data rows count from 1, columns from 0. Cells outside the grid are ignored on write
// and read as empty.

#include <functional>
#include <string>
#include <vector>

#include "ui/canvas.h"
#include "ui/control.h"

namespace ui {

constexpr Colour kDefaultTextColour = 0;  // black

struct GridColumn {
  std::string header;
  int width = 64;  // design width in pixels
};

// What a view of the grid is told. Views coalesce: a burst of CellChanged calls may reach the
// screen as one repaint.
class GridObserver {
 public:
  virtual ~GridObserver() = default;
  virtual void CellChanged(int row, int column) = 0;
  // Row or column count changed, or many cells at once (reset).
  virtual void LayoutChanged() = 0;
};

class Grid : public Control {
 public:
  Grid() = default;
  Grid(std::vector<GridColumn> columns, int design_rows);

  ControlKind Kind() const override { return ControlKind::kGrid; }

  // Sets the design state: columns with headers and widths, and the row count (header row
  // included). Applies it at once.
  void SetDesign(std::vector<GridColumn> columns, int design_rows);
  // Back to the design state, keeping the header row and the current row count: every data
  // cell becomes empty and uncoloured.
  void ResetToDesign();

  int RowCount() const { return static_cast<int>(cells_.size()); }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // Rows counted with the header row. New rows are empty; removed rows are gone.
  void SetRowCount(int rows);
  const std::vector<GridColumn>& Columns() const { return columns_; }

  const std::string& Text(int row, int column) const;
  void SetText(int row, int column, std::string text);
  Colour TextColour(int row, int column) const;
  void SetTextColour(int row, int column, Colour colour);
  // Colours the block of cells from (row1, column1) to (row2, column2), both included.
  void SetTextColour(int row1, int column1, int row2, int column2, Colour colour);

  // The selected data row, -1 when none is selected.
  int CurrentRow() const { return current_row_; }
  void SetCurrentRow(int row) { current_row_ = row; }

  void SetObserver(GridObserver* observer) { observer_ = observer; }

  // Events raised by the view; handlers are attached by the program.
  std::function<void(int column)> on_header_click;
  std::function<void(int row, int column)> on_cell_event;
  std::function<void(int row, int column)> on_right_click;

 private:
  struct Cell {
    std::string text;
    Colour colour = kDefaultTextColour;
  };
  bool Contains(int row, int column) const;
  void NotifyLayout();

  std::vector<GridColumn> columns_;
  std::vector<std::vector<Cell>> cells_;
  int current_row_ = -1;
  GridObserver* observer_ = nullptr;
};

}  // namespace ui
