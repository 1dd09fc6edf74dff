#include "ui/qt/control_view.h"

#include "ui/qt/control_kinds.h"

namespace ui {

ControlView* ControlView::Create(Control& control, QWidget* parent) {
  const ControlKindEntry& kind = KindEntry(control.Kind());
  QWidget* widget = kind.create(control, parent);
  widget->setObjectName(QString::fromStdString(control.Name()));
  widget->setProperty("controlKind", kind.name);
  auto* view = new ControlView(control, widget);
  if (kind.connect) kind.connect(*view, control, widget);
  if (kind.filter) widget->installEventFilter(view);
  view->ControlChanged();
  return view;
}

ControlView::ControlView(Control& control, QWidget* widget)
    : QObject(widget), control_(control), kind_(KindEntry(control.Kind())), widget_(widget) {
  control_.SetControlObserver(this);
}

ControlView::~ControlView() { control_.SetControlObserver(nullptr); }

bool ControlView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widget_ && kind_.filter && kind_.filter(control_, event)) return true;
  return QObject::eventFilter(watched, event);
}

void ControlView::ControlChanged() {
  const Rect& rect = control_.Geometry();
  widget_->setGeometry(rect.left, rect.top, rect.width, rect.height);
  widget_->setEnabled(control_.Enabled());
  widget_->setToolTip(QString::fromStdString(control_.ToolTip()));
  if (!control_.AccessibleName().empty()) {
    widget_->setAccessibleName(QString::fromStdString(control_.AccessibleName()));
  }
  if (kind_.sync) kind_.sync(control_, widget_);
  widget_->setVisible(control_.Visible());
}

void ControlView::ControlRaised() { widget_->raise(); }

}  // namespace ui
