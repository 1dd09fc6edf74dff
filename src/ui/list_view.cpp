#include "ui/list_view.h"

namespace ui {

namespace {
const std::string kEmpty;
}

void ListView::SetColumns(std::vector<ListColumn> columns) {
  columns_ = std::move(columns);
  rows_.clear();
  if (observer_) observer_->LayoutChanged();
  UpdateCurrentRow(-1);
}

int ListView::InsertRow() {
  rows_.emplace_back(columns_.size());
  if (observer_) observer_->RowsInserted(RowCount() - 1, 1);
  return RowCount() - 1;
}

void ListView::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  rows_.erase(rows_.begin() + row);
  if (observer_) observer_->RowsRemoved(row, 1);
  if (current_row_ == row) {
    UpdateCurrentRow(-1);
  } else if (current_row_ > row) {
    UpdateCurrentRow(current_row_ - 1);
  }
}

void ListView::Clear() {
  if (rows_.empty()) return;
  const int rows = RowCount();
  rows_.clear();
  if (observer_) observer_->RowsRemoved(0, rows);
  UpdateCurrentRow(-1);
}

const std::string& ListView::Text(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return kEmpty;
  return rows_[row][column];
}

void ListView::SetText(int row, int column, std::string text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return;
  if (rows_[row][column] == text) return;
  rows_[row][column] = std::move(text);
  if (observer_) observer_->CellChanged(row, column);
}

void ListView::SetCurrentRow(int row) { UpdateCurrentRow(row >= 0 && row < RowCount() ? row : -1); }

void ListView::UpdateCurrentRow(int row) {
  if (row == current_row_) return;
  current_row_ = row;
  if (observer_) observer_->CurrentRowChanged(row);
}

}  // namespace ui
