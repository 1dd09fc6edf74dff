#pragma once

// Binds one control model to its Qt widget: creates the widget at the design geometry,
// keeps it in step with the model, and turns the widget's signals into the model's events.
// The view is a child of its widget and detaches from the model when the widget goes. What
// differs from kind to kind is in control_kinds.h.

#include <QObject>
#include <QWidget>

#include "ui/control.h"

namespace ui {

struct ControlKindEntry;

class ControlView : public QObject, public ControlObserver {
  Q_OBJECT

 public:
  // Creates the widget for `control` inside `parent` and binds it.
  static ControlView* Create(Control& control, QWidget* parent);
  ~ControlView() override;

  QWidget* widget() const { return widget_; }

  void ControlChanged() override;
  void ControlRaised() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ControlView(Control& control, QWidget* widget);

  Control& control_;
  const ControlKindEntry& kind_;
  QWidget* widget_;
};

}  // namespace ui
