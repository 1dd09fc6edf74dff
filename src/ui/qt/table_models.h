#pragma once

// Qt item models over the grid and list-view models. Changes are coalesced: the model marks
// what changed and tells the view once per event-loop turn, so filling thousands of cells
// costs one repaint. Row and column counts seen by the view change only at that moment,
// always announced with the matching signals.

#include <QAbstractTableModel>

#include "ui/grid.h"
#include "ui/list_view.h"

namespace ui {

class CoalescingTableModel : public QAbstractTableModel, public GridObserver {
  Q_OBJECT

 public:
  explicit CoalescingTableModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  void CellChanged(int row, int column) override;
  void LayoutChanged() override;

  // Tells the view everything pending now instead of at the next event-loop turn.
  void Flush();

 protected:
  // The source's shape and content; source rows are the view's rows.
  virtual int SourceRows() const = 0;
  virtual int SourceColumns() const = 0;
  virtual const std::string& SourceText(int row, int column) const = 0;
  virtual Colour SourceColour(int row, int column) const = 0;
  virtual std::string SourceHeader(int column) const = 0;
  // A changed source cell as a view row, or -1 for a header cell.
  virtual int ViewRowOf(int source_row) const = 0;
  // Call once the source is attached, to take its shape.
  void Attach();

 private:
  void Schedule();

  int rows_ = 0;
  int columns_ = 0;
  bool scheduled_ = false;
  bool all_dirty_ = false;
  bool header_dirty_ = false;
  int top_ = -1, left_ = 0, bottom_ = -1, right_ = 0;
};

// The advanced grid: grid row 0 is the horizontal header, grid row r is view row r - 1.
class GridTableModel : public CoalescingTableModel {
  Q_OBJECT

 public:
  explicit GridTableModel(Grid& grid, QObject* parent = nullptr);
  ~GridTableModel() override;

 protected:
  int SourceRows() const override;
  int SourceColumns() const override { return grid_.ColumnCount(); }
  const std::string& SourceText(int row, int column) const override;
  Colour SourceColour(int row, int column) const override;
  std::string SourceHeader(int column) const override { return grid_.Text(0, column); }
  int ViewRowOf(int source_row) const override { return source_row - 1; }

 private:
  Grid& grid_;
};

// The report-style list view: headers from its columns, rows as they are.
class ListTableModel : public CoalescingTableModel {
  Q_OBJECT

 public:
  explicit ListTableModel(ListView& list, QObject* parent = nullptr);
  ~ListTableModel() override;

 protected:
  int SourceRows() const override { return list_.RowCount(); }
  int SourceColumns() const override { return list_.ColumnCount(); }
  const std::string& SourceText(int row, int column) const override {
    return list_.Text(row, column);
  }
  Colour SourceColour(int, int) const override { return kDefaultTextColour; }
  std::string SourceHeader(int column) const override;
  int ViewRowOf(int source_row) const override { return source_row; }

 private:
  ListView& list_;
};

}  // namespace ui
