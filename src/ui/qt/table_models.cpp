#include "ui/qt/table_models.h"

#include <QBrush>
#include <QScopedValueRollback>
#include <algorithm>

#include "ui/qt/qt_canvas.h"

namespace ui {

CoalescingTableModel::CoalescingTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void CoalescingTableModel::Attach() {
  beginResetModel();
  rows_ = SourceRows();
  columns_ = SourceColumns();
  endResetModel();
}

int CoalescingTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int CoalescingTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QVariant CoalescingTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= columns_) return {};
  const int row = SourceRowOf(index.row());
  if (row < 0) return {};
  // The source may already have changed shape; out-of-range cells read as empty there.
  if (role == Qt::DisplayRole) {
    return QString::fromStdString(SourceText(row, index.column()));
  }
  if (role == Qt::ForegroundRole) {
    const Colour colour = SourceColour(row, index.column());
    if (colour != kDefaultTextColour) return QBrush(QtCanvas::ToQColor(colour));
  }
  return {};
}

int CoalescingTableModel::SourceRowOf(int view_row) const {
  if (shift_count_ == 0 || view_row < shift_first_) return view_row;
  // Inserted rows pushed the shown ones down; removed rows are gone and pulled the rest up.
  if (shift_count_ < 0 && view_row < shift_first_ - shift_count_) return -1;
  return view_row + shift_count_;
}

QVariant CoalescingTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= columns_) return {};
    return QString::fromStdString(SourceHeader(section));
  }
  return section + 1;
}

void CoalescingTableModel::CellChanged(int row, int column) {
  // Everything is announced at the flush already; a bulk fill after a reset costs one test
  // per cell.
  if (all_dirty_ || reset_pending_) return;
  const int view_row = ViewRowOf(row);
  if (view_row < 0) {
    header_dirty_ = true;
  } else if (top_ < 0) {
    top_ = bottom_ = view_row;
    left_ = right_ = column;
  } else {
    top_ = std::min(top_, view_row);
    bottom_ = std::max(bottom_, view_row);
    left_ = std::min(left_, column);
    right_ = std::max(right_, column);
  }
  Schedule();
}

void CoalescingTableModel::AllCellsChanged() {
  all_dirty_ = true;
  header_dirty_ = true;
  Schedule();
}

void CoalescingTableModel::RowsInserted(int first, int count) {
  // A pending reset takes the source's shape as it is then.
  if (reset_pending_ || count <= 0) return;
  const int view_first = std::clamp(ViewRowOf(first), 0, rows_);
  QScopedValueRollback guard(syncing_, true);
  shift_first_ = view_first;
  shift_count_ = count;
  beginInsertRows(QModelIndex(), view_first, view_first + count - 1);
  rows_ += count;
  shift_count_ = 0;
  endInsertRows();
  ShiftRows(view_first, count);
}

void CoalescingTableModel::RowsRemoved(int first, int count) {
  if (reset_pending_) return;
  const int view_first = std::max(ViewRowOf(first), 0);
  count = std::min(count, rows_ - view_first);
  if (count <= 0) return;
  // The selection model moves a removed current row to a neighbour; the source says where
  // its current row went right after, so that move is not taken as the user's.
  QScopedValueRollback guard(syncing_, true);
  shift_first_ = view_first;
  shift_count_ = -count;
  beginRemoveRows(QModelIndex(), view_first, view_first + count - 1);
  rows_ -= count;
  shift_count_ = 0;
  endRemoveRows();
  ShiftRows(view_first, -count);
}

void CoalescingTableModel::ShiftRows(int view_first, int count) {
  if (top_ < 0) return;
  if (count > 0) {
    if (top_ >= view_first) top_ += count;
    if (bottom_ >= view_first) bottom_ += count;
    return;
  }
  const int gone_end = view_first - count;
  if (top_ >= view_first) top_ = std::max(view_first, top_ + count);
  if (bottom_ >= gone_end) {
    bottom_ += count;
  } else if (bottom_ >= view_first) {
    bottom_ = view_first - 1;
  }
  if (bottom_ < top_) top_ = bottom_ = -1;
}

void CoalescingTableModel::LayoutChanged() {
  reset_pending_ = true;
  Schedule();
}

void CoalescingTableModel::CurrentRowChanged(int row) {
  // The view's own choice needs no showing; after a reset the flush shows the current row.
  if (syncing_ || reset_pending_) return;
  ShowCurrentRow(row < 0 ? -1 : ViewRowOf(row));
}

void CoalescingTableModel::FollowSelection(QItemSelectionModel* selection) {
  selection_ = selection;
  connect(selection, &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { SelectionMoved(current); });
  ShowCurrentRow(CurrentViewRow());
}

void CoalescingTableModel::SelectionMoved(const QModelIndex& current) {
  // While a reset waits, the view's rows are not the source's.
  if (syncing_ || reset_pending_) return;
  QScopedValueRollback guard(syncing_, true);
  SetCurrentViewRow(current.isValid() ? current.row() : -1);
}

void CoalescingTableModel::ShowCurrentRow(int view_row) {
  if (!selection_) return;
  QScopedValueRollback guard(syncing_, true);
  if (view_row < 0 || view_row >= rows_) {
    selection_->clear();
    return;
  }
  const QModelIndex current = selection_->currentIndex();
  if (current.row() == view_row && selection_->isRowSelected(view_row)) return;
  selection_->setCurrentIndex(index(view_row, current.isValid() ? current.column() : 0),
                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CoalescingTableModel::Schedule() {
  if (scheduled_) return;
  scheduled_ = true;
  QMetaObject::invokeMethod(this, &CoalescingTableModel::Flush, Qt::QueuedConnection);
}

void CoalescingTableModel::Flush() {
  scheduled_ = false;
  // Rows that changed without notice are taken as a new layout as well.
  if (reset_pending_ || SourceRows() != rows_ || SourceColumns() != columns_) {
    beginResetModel();
    rows_ = SourceRows();
    columns_ = SourceColumns();
    reset_pending_ = false;
    endResetModel();
    ShowCurrentRow(CurrentViewRow());
  } else {
    if (rows_ > 0 && columns_ > 0) {
      if (all_dirty_) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
      } else if (top_ >= 0 && top_ < rows_) {
        emit dataChanged(index(top_, left_), index(std::min(bottom_, rows_ - 1), right_));
      }
    }
    if (header_dirty_ && columns_ > 0) emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
  }
  all_dirty_ = header_dirty_ = false;
  top_ = bottom_ = -1;
}

GridTableModel::GridTableModel(Grid& grid, QObject* parent)
    : CoalescingTableModel(parent), grid_(grid) {
  grid_.SetObserver(this);
  Attach();
}

GridTableModel::~GridTableModel() { grid_.SetObserver(nullptr); }

int GridTableModel::SourceRows() const { return std::max(grid_.RowCount() - 1, 0); }

const std::string& GridTableModel::SourceText(int row, int column) const {
  return grid_.Text(row + 1, column);
}

Colour GridTableModel::SourceColour(int row, int column) const {
  return grid_.TextColour(row + 1, column);
}

int GridTableModel::CurrentViewRow() const {
  return grid_.CurrentRow() < 1 ? -1 : grid_.CurrentRow() - 1;
}

void GridTableModel::SetCurrentViewRow(int view_row) {
  grid_.SetCurrentRow(view_row < 0 ? -1 : view_row + 1);
}

ListTableModel::ListTableModel(ListView& list, QObject* parent)
    : CoalescingTableModel(parent), list_(list) {
  list_.SetObserver(this);
  Attach();
}

ListTableModel::~ListTableModel() { list_.SetObserver(nullptr); }

std::string ListTableModel::SourceHeader(int column) const {
  return column < list_.ColumnCount() ? list_.Columns()[column].header : std::string();
}

}  // namespace ui
