#include "chart/readout_table.h"

#include <algorithm>

namespace chart {

namespace {
const std::string kEmpty;
}  // namespace

void ReadoutTable::Reset(int rows, int columns) {
  cells_.clear();
  columns_ = 0;
  Grow(rows, columns);
}

void ReadoutTable::Grow(int rows, int columns) {
  columns_ = std::max({columns_, columns, 0});
  if (rows > RowCount()) cells_.resize(static_cast<size_t>(rows));
  for (auto& row : cells_) row.resize(static_cast<size_t>(columns_));
}

const std::string& ReadoutTable::Cell(int row, int column) const {
  if (row < 1 || row > RowCount() || column < 1 || column > columns_) return kEmpty;
  return cells_[static_cast<size_t>(row - 1)][static_cast<size_t>(column - 1)];
}

void ReadoutTable::SetCell(int row, int column, std::string text) {
  if (row < 1 || row > RowCount() || column < 1 || column > columns_) return;
  cells_[static_cast<size_t>(row - 1)][static_cast<size_t>(column - 1)] = std::move(text);
}

}  // namespace chart
