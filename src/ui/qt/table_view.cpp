#include "ui/qt/table_view.h"

#include <QHeaderView>
#include <QTableView>

#include "ui/grid.h"
#include "ui/list_view.h"
#include "ui/qt/table_models.h"

namespace ui {

namespace {

QTableView* MakeTable(QWidget* parent, CoalescingTableModel* model) {
  auto* table = new QTableView(parent);
  model->setParent(table);
  table->setModel(model);
  table->verticalHeader()->hide();
  // Compact rows, so the fund grid's 20 design rows fit its design height.
  table->verticalHeader()->setMinimumSectionSize(16);
  table->verticalHeader()->setDefaultSectionSize(18);
  table->horizontalHeader()->setHighlightSections(false);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setContextMenuPolicy(Qt::CustomContextMenu);
  return table;
}

template <class Source>
void ApplyColumnWidths(QWidget* widget, const Source& columns) {
  auto* table = static_cast<QTableView*>(widget);
  for (size_t c = 0; c < columns.size(); ++c) {
    table->setColumnWidth(static_cast<int>(c), columns[c].width);
  }
}

// A reset of the model drops the column widths; they are put back after it.
QTableView* FollowModel(QWidget* widget, Control& control, void (*sync)(Control&, QWidget*)) {
  auto* table = static_cast<QTableView*>(widget);
  auto* model = static_cast<CoalescingTableModel*>(table->model());
  model->FollowSelection(table->selectionModel());
  QObject::connect(model, &QAbstractItemModel::modelReset, table,
                   [table, &control, sync] { sync(control, table); });
  return table;
}

}  // namespace

QWidget* CreateGridTable(Control& grid, QWidget* parent) {
  return MakeTable(parent, new GridTableModel(static_cast<Grid&>(grid)));
}

QWidget* CreateListTable(Control& list, QWidget* parent) {
  return MakeTable(parent, new ListTableModel(static_cast<ListView&>(list)));
}

void SyncGridTable(Control& grid, QWidget* table) {
  ApplyColumnWidths(table, static_cast<Grid&>(grid).Columns());
}

void SyncListTable(Control& control, QWidget* widget) {
  const auto& list = static_cast<ListView&>(control);
  ApplyColumnWidths(widget, list.Columns());
  if (list.ItemHeight() > 0) {
    auto* table = static_cast<QTableView*>(widget);
    table->verticalHeader()->setDefaultSectionSize(list.ItemHeight());
    table->horizontalHeader()->setFixedHeight(list.ItemHeight());
  }
}

void ConnectGridTable(ControlView&, Control& control, QWidget* widget) {
  QTableView* table = FollowModel(widget, control, SyncGridTable);
  auto& grid = static_cast<Grid&>(control);
  QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked, table,
                   [&grid](int column) {
                     if (grid.on_header_click) grid.on_header_click(column);
                   });
  QObject::connect(table, &QTableView::clicked, table, [&grid](const QModelIndex& index) {
    grid.SetCurrentRow(index.row() + 1);
    if (grid.on_cell_event) grid.on_cell_event(index.row() + 1, index.column());
  });
  QObject::connect(table, &QTableView::doubleClicked, table, [&grid](const QModelIndex& index) {
    grid.SetCurrentRow(index.row() + 1);
    if (grid.on_double_click) grid.on_double_click(index.row() + 1, index.column());
  });
  // A right-click leaves the current row alone: the menus act on the fund last opened.
  QObject::connect(table, &QWidget::customContextMenuRequested, table,
                   [table, &grid](const QPoint& at) {
                     const QModelIndex index = table->indexAt(at);
                     if (grid.on_right_click) {
                       grid.on_right_click(index.isValid() ? index.row() + 1 : -1,
                                           index.isValid() ? index.column() : -1);
                     }
                   });
}

void ConnectListTable(ControlView&, Control& control, QWidget* widget) {
  QTableView* table = FollowModel(widget, control, SyncListTable);
  auto& list = static_cast<ListView&>(control);
  QObject::connect(table, &QTableView::clicked, table, [&list](const QModelIndex& index) {
    list.SetCurrentRow(index.row());
    if (list.on_item_event) list.on_item_event(index.row());
  });
  QObject::connect(table, &QTableView::doubleClicked, table, [&list](const QModelIndex& index) {
    list.SetCurrentRow(index.row());
    if (list.on_double_click) list.on_double_click(index.row());
  });
  // As in a report list, the item under the mouse becomes the selection.
  QObject::connect(table, &QWidget::customContextMenuRequested, table,
                   [table, &list](const QPoint& at) {
                     const QModelIndex index = table->indexAt(at);
                     if (index.isValid()) {
                       table->setCurrentIndex(index);
                       list.SetCurrentRow(index.row());
                     }
                     if (list.on_right_click) {
                       list.on_right_click(index.isValid() ? index.row() : -1);
                     }
                   });
}

}  // namespace ui
