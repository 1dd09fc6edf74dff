#pragma once

// The table widget that shows a grid or a list view, through its item-model adapter.

#include <QWidget>

#include "ui/control.h"

namespace ui {

class ControlView;

QWidget* CreateGridTable(Control& grid, QWidget* parent);
QWidget* CreateListTable(Control& list, QWidget* parent);

// Header clicks, cell clicks, double-clicks, selection and right-clicks, forwarded to the
// model's events; the selection and the model's current row kept in step.
void ConnectGridTable(ControlView& view, Control& grid, QWidget* table);
void ConnectListTable(ControlView& view, Control& list, QWidget* table);

// The design column widths.
void SyncGridTable(Control& grid, QWidget* table);
void SyncListTable(Control& list, QWidget* table);

}  // namespace ui
