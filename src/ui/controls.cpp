#include "ui/controls.h"

namespace ui {

void CaptionedControl::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  NotifyChanged();
}

void Button::Click() {
  if (Enabled() && on_click) on_click();
}

void CheckableControl::StoreChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  NotifyChanged();
}

void CheckBox::Click() {
  if (!Enabled()) return;
  SetChecked(!Checked());
  if (on_click) on_click();
}

void RadioBox::Group(const std::vector<RadioBox*>& boxes) {
  auto group = std::make_shared<std::vector<RadioBox*>>(boxes);
  for (RadioBox* box : boxes) box->group_ = group;
}

void RadioBox::SetChecked(bool checked) {
  if (checked && group_) {
    for (RadioBox* other : *group_) {
      if (other != this) other->StoreChecked(false);
    }
  }
  StoreChecked(checked);
}

void RadioBox::Click() {
  if (!Enabled()) return;
  SetChecked(true);
  if (on_click) on_click();
}

void PictureBox::SetImage(std::string image) {
  if (image == image_) return;
  image_ = std::move(image);
  NotifyChanged();
}

void PictureBox::LeftPress() {
  if (on_left_press) on_left_press();
}

}  // namespace ui
