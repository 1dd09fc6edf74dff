#pragma once

// What the view of each control kind does in its own way, one entry per kind: the kind's
// name, its widget, the widget's signals and events turned into the model's events, and
// showing the model's state. A new kind is a new entry.

#include <QEvent>
#include <QWidget>

#include "ui/control.h"

namespace ui {

class ControlView;

struct ControlKindEntry {
  ControlKind kind;
  // Set on the widget as its "controlKind" property, so tests can tell widgets of one Qt
  // class apart.
  const char* name;
  QWidget* (*create)(Control& control, QWidget* parent);
  // Turns the widget's signals into the model's events; null when the kind has none.
  void (*connect)(ControlView& view, Control& control, QWidget* widget);
  // Shows the kind's own state (caption, checked state, text, image, ...); null when none.
  void (*sync)(Control& control, QWidget* widget);
  // Sees the widget's events before the widget does; true keeps an event from it. Null when
  // the kind watches none.
  bool (*filter)(Control& control, QEvent* event);
};

const ControlKindEntry& KindEntry(ControlKind kind);

}  // namespace ui
