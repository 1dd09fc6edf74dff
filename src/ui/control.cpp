#include "ui/control.h"

namespace ui {

void Control::SetGeometry(Rect rect) {
  if (rect == rect_) return;
  rect_ = rect;
  NotifyChanged();
}

void Control::SetHeight(int height) {
  Rect rect = rect_;
  rect.height = height;
  SetGeometry(rect);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  NotifyChanged();
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  NotifyChanged();
}

void Control::SetToolTip(std::string text) {
  if (text == tool_tip_) return;
  tool_tip_ = std::move(text);
  NotifyChanged();
}

void Control::SetAccessibleName(std::string name) {
  if (name == accessible_name_) return;
  accessible_name_ = std::move(name);
  NotifyChanged();
}

void Control::Raise() {
  if (control_observer_) control_observer_->ControlRaised();
}

void Control::NotifyChanged() {
  if (control_observer_) control_observer_->ControlChanged();
}

}  // namespace ui
