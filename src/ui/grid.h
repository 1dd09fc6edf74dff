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

// What a view of a grid or list view is told, always after the model has changed. Rows are
// the model's own numbers (a grid's header row is row 0). Views coalesce: a burst of
// CellChanged calls may reach the screen as one repaint.
class GridObserver {
 public:
  virtual ~GridObserver() = default;
  // One cell's text or colour changed.
  virtual void CellChanged(int row, int column) = 0;
  // Every cell may have changed; the rows and columns are the same ones.
  virtual void AllCellsChanged() = 0;
  // `count` new rows stand from `first` on; the rows that stood there moved down.
  virtual void RowsInserted(int first, int count) = 0;
  // The `count` rows from `first` on are gone; the rows after them moved up.
  virtual void RowsRemoved(int first, int count) = 0;
  // The columns changed and the rows with them: the view starts over.
  virtual void LayoutChanged() = 0;
  // The model's current row is now `row` (-1: none). Told for every change, including one
  // the view itself asked for and one that follows from removed rows or a reset.
  virtual void CurrentRowChanged(int row) = 0;
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
  // cell becomes empty and uncoloured, and no row is current, since the rows no longer hold
  // what was selected.
  void ResetToDesign();

  int RowCount() const { return static_cast<int>(cells_.size()); }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // Rows counted with the header row; rows are added or removed at the end. New rows are
  // empty; removed rows are gone, and a current row among them leaves no current row.
  void SetRowCount(int rows);
  const std::vector<GridColumn>& Columns() const { return columns_; }

  const std::string& Text(int row, int column) const;
  void SetText(int row, int column, std::string text);
  Colour TextColour(int row, int column) const;
  void SetTextColour(int row, int column, Colour colour);
  // Colours the block of cells from (row1, column1) to (row2, column2), both included.
  void SetTextColour(int row1, int column1, int row2, int column2, Colour colour);

  // The selected data row, -1 when none is selected. A row that is not a data row selects
  // none.
  int CurrentRow() const { return current_row_; }
  void SetCurrentRow(int row);

  void SetObserver(GridObserver* observer) { observer_ = observer; }

  // Events raised by the view; handlers are attached by the program.
  std::function<void(int column)> on_header_click;
  std::function<void(int row, int column)> on_cell_event;
  std::function<void(int row, int column)> on_right_click;
  // A double-click on a data row (the row is current by then).
  std::function<void(int row, int column)> on_double_click;

 private:
  struct Cell {
    std::string text;
    Colour colour = kDefaultTextColour;
  };
  bool Contains(int row, int column) const;
  // The cell, or nothing while its row holds no cell (every cell of it empty and black).
  const Cell* Find(int row, int column) const;
  // The cell, its row's cells made when it has none; the cell must be in the grid.
  Cell& Make(int row, int column);
  void UpdateCurrentRow(int row);

  std::vector<GridColumn> columns_;
  std::vector<std::vector<Cell>> cells_;  // a row is empty until a cell of it is written
  int current_row_ = -1;
  GridObserver* observer_ = nullptr;
};

}  // namespace ui
