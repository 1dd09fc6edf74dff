#pragma once

// The kind-specific halves of ControlView: showing a model's state in its widget, and
// turning a table widget's signals into grid or list-view events.

#include <QTableView>
#include <QWidget>

#include "ui/control.h"

namespace ui {

// Shows the kind-specific state of `control` (caption, checked state, text, image, ...).
void SyncWidget(Control& control, QWidget* widget);

// Header clicks, cell clicks, double-clicks, selection and right-clicks of a grid or list
// view, forwarded to the model's events.
void ConnectTable(QTableView* table, Control& control);

}  // namespace ui
