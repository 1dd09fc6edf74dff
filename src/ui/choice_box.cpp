#include "ui/choice_box.h"

namespace ui {

void ChoiceBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  current_ = items_.empty() ? -1 : 0;
  NotifyChanged();
}

std::string ChoiceBox::CurrentText() const {
  return current_ < 0 ? std::string() : items_[current_];
}

void ChoiceBox::SetCurrent(int index) {
  const int next = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
  if (next == current_) return;
  current_ = next;
  NotifyChanged();
}

void ChoiceBox::Choose(int index) {
  SetCurrent(index);
  if (on_changed) on_changed();
}

}  // namespace ui
