#include "ui/grid.h"

#include <algorithm>

namespace ui {

namespace {
const std::string kEmpty;
}

Grid::Grid(std::vector<GridColumn> columns, int design_rows) {
  SetDesign(std::move(columns), design_rows);
}

void Grid::SetDesign(std::vector<GridColumn> columns, int design_rows) {
  columns_ = std::move(columns);
  cells_.assign(std::max(design_rows, 1), std::vector<Cell>(columns_.size()));
  for (size_t c = 0; c < columns_.size(); ++c) cells_[0][c].text = columns_[c].header;
  if (observer_) observer_->LayoutChanged();
  UpdateCurrentRow(-1);
}

void Grid::ResetToDesign() {
  for (size_t r = 1; r < cells_.size(); ++r) cells_[r].clear();
  for (size_t c = 0; c < columns_.size(); ++c) {
    cells_[0][c] = Cell{columns_[c].header, kDefaultTextColour};
  }
  if (observer_) observer_->AllCellsChanged();
  UpdateCurrentRow(-1);
}

void Grid::SetRowCount(int rows) {
  rows = std::max(rows, 1);
  const int old_rows = RowCount();
  if (rows == old_rows) return;
  // New rows hold no cells until one is written: growing to a whole market's rows costs next to
  // nothing.
  cells_.resize(rows);
  if (observer_) {
    if (rows > old_rows) {
      observer_->RowsInserted(old_rows, rows - old_rows);
    } else {
      observer_->RowsRemoved(rows, old_rows - rows);
    }
  }
  if (current_row_ >= rows) UpdateCurrentRow(-1);
}

void Grid::SetCurrentRow(int row) { UpdateCurrentRow(row >= 1 && row < RowCount() ? row : -1); }

void Grid::UpdateCurrentRow(int row) {
  if (row == current_row_) return;
  current_row_ = row;
  if (observer_) observer_->CurrentRowChanged(row);
}

bool Grid::Contains(int row, int column) const {
  return row >= 0 && column >= 0 && row < RowCount() && column < ColumnCount();
}

const Grid::Cell* Grid::Find(int row, int column) const {
  if (!Contains(row, column)) return nullptr;
  const std::vector<Cell>& cells = cells_[row];
  return cells.empty() ? nullptr : &cells[column];
}

Grid::Cell& Grid::Make(int row, int column) {
  std::vector<Cell>& cells = cells_[row];
  if (cells.empty()) cells.resize(columns_.size());
  return cells[column];
}

const std::string& Grid::Text(int row, int column) const {
  const Cell* cell = Find(row, column);
  return cell ? cell->text : kEmpty;
}

void Grid::SetText(int row, int column, std::string text) {
  if (!Contains(row, column)) return;
  if (!Find(row, column) && text.empty()) return;
  std::string& cell = Make(row, column).text;
  if (cell == text) return;
  cell = std::move(text);
  if (observer_) observer_->CellChanged(row, column);
}

Colour Grid::TextColour(int row, int column) const {
  const Cell* cell = Find(row, column);
  return cell ? cell->colour : kDefaultTextColour;
}

void Grid::SetTextColour(int row, int column, Colour colour) {
  if (!Contains(row, column)) return;
  if (!Find(row, column) && colour == kDefaultTextColour) return;
  Colour& cell = Make(row, column).colour;
  if (cell == colour) return;
  cell = colour;
  if (observer_) observer_->CellChanged(row, column);
}

void Grid::SetTextColour(int row1, int column1, int row2, int column2, Colour colour) {
  for (int r = row1; r <= row2; ++r) {
    for (int c = column1; c <= column2; ++c) SetTextColour(r, c, colour);
  }
}

}  // namespace ui
