#include "ui/qt/table_models.h"

#include <QBrush>
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
  // The source may already have changed shape; out-of-range cells read as empty there.
  if (role == Qt::DisplayRole) {
    return QString::fromStdString(SourceText(index.row(), index.column()));
  }
  if (role == Qt::ForegroundRole) {
    const Colour colour = SourceColour(index.row(), index.column());
    if (colour != kDefaultTextColour) return QBrush(QtCanvas::ToQColor(colour));
  }
  return {};
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
  // Everything is announced at the flush already; a bulk fill after a layout change costs
  // one test per cell.
  if (all_dirty_) return;
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

void CoalescingTableModel::LayoutChanged() {
  all_dirty_ = true;
  header_dirty_ = true;
  Schedule();
}

void CoalescingTableModel::Schedule() {
  if (scheduled_) return;
  scheduled_ = true;
  QMetaObject::invokeMethod(this, &CoalescingTableModel::Flush, Qt::QueuedConnection);
}

void CoalescingTableModel::Flush() {
  scheduled_ = false;
  const int rows = SourceRows();
  const int columns = SourceColumns();
  if (columns != columns_) {
    beginResetModel();
    rows_ = rows;
    columns_ = columns;
    endResetModel();
  } else {
    if (rows > rows_) {
      beginInsertRows(QModelIndex(), rows_, rows - 1);
      rows_ = rows;
      endInsertRows();
    } else if (rows < rows_) {
      beginRemoveRows(QModelIndex(), rows, rows_ - 1);
      rows_ = rows;
      endRemoveRows();
    }
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
