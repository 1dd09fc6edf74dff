#pragma once

// Qt item models over the grid and list-view models. Cell changes are coalesced: the model
// marks what changed and tells the view once per event-loop turn, so filling thousands of
// cells costs one repaint. Rows inserted or removed reach the view at once, at their
// positions, so a selection below them moves with its row. A change of columns resets the
// view at the next turn.

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QPointer>

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
  void AllCellsChanged() override;
  void RowsInserted(int first, int count) override;
  void RowsRemoved(int first, int count) override;
  void LayoutChanged() override;
  void CurrentRowChanged(int row) override;

  // Tells the view everything pending now instead of at the next event-loop turn.
  void Flush();

  // Keeps the current row of `selection` (a selection model over this model) and the
  // source's current row in step: the user's choice becomes the source's current row, and a
  // change on the source's side selects its row, or clears the selection, without coming
  // back as a choice of the user's.
  void FollowSelection(QItemSelectionModel* selection);

 protected:
  // The source's shape and content; source rows are the view's rows.
  virtual int SourceRows() const = 0;
  virtual int SourceColumns() const = 0;
  virtual const std::string& SourceText(int row, int column) const = 0;
  virtual Colour SourceColour(int row, int column) const = 0;
  virtual std::string SourceHeader(int column) const = 0;
  // A changed source cell as a view row, or -1 for a header cell.
  virtual int ViewRowOf(int source_row) const = 0;
  // The source's current row as a view row (-1: none), and setting it from a view row.
  virtual int CurrentViewRow() const = 0;
  virtual void SetCurrentViewRow(int view_row) = 0;
  // Call once the source is attached, to take its shape.
  void Attach();

 private:
  void Schedule();
  // The row the source has now for what the view shows as `view_row`; -1 when that row is
  // gone. Differs from `view_row` only while a row change is being announced.
  int SourceRowOf(int view_row) const;
  void ShiftRows(int view_first, int count);
  void ShowCurrentRow(int view_row);
  void SelectionMoved(const QModelIndex& current);

  int rows_ = 0;
  int columns_ = 0;
  bool scheduled_ = false;
  bool reset_pending_ = false;
  bool all_dirty_ = false;
  bool header_dirty_ = false;
  int top_ = -1, left_ = 0, bottom_ = -1, right_ = 0;
  // Rows inserted (count > 0) or removed (count < 0) at shift_first_, while announced.
  int shift_first_ = 0, shift_count_ = 0;
  // Set while one side's change is passed to the other, so it does not come back.
  bool syncing_ = false;
  QPointer<QItemSelectionModel> selection_;
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
  int CurrentViewRow() const override;
  void SetCurrentViewRow(int view_row) override;

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
  int CurrentViewRow() const override { return list_.CurrentRow(); }
  void SetCurrentViewRow(int view_row) override { list_.SetCurrentRow(view_row); }

 private:
  ListView& list_;
};

}  // namespace ui
