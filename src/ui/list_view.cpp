#include "ui/list_view.h"

namespace ui {

namespace {
const std::string kEmpty;
}

void ListView::SetColumns(std::vector<ListColumn> columns) {
  columns_ = std::move(columns);
  rows_.clear();
  current_row_ = -1;
  NotifyLayout();
}

int ListView::InsertRow() {
  rows_.emplace_back(columns_.size());
  NotifyLayout();
  return RowCount() - 1;
}

void ListView::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  rows_.erase(rows_.begin() + row);
  if (current_row_ == row) {
    current_row_ = -1;
  } else if (current_row_ > row) {
    --current_row_;
  }
  NotifyLayout();
}

void ListView::Clear() {
  if (rows_.empty()) return;
  rows_.clear();
  current_row_ = -1;
  NotifyLayout();
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

void ListView::SetCurrentRow(int row) { current_row_ = (row >= 0 && row < RowCount()) ? row : -1; }

void ListView::NotifyLayout() {
  if (observer_) observer_->LayoutChanged();
}

}  // namespace ui
