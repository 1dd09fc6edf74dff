#include "ui/menu.h"

namespace ui {

void PopupMenu::SetCaptions(const std::vector<std::string>& captions) {
  items_.resize(captions.size());
  for (size_t i = 0; i < captions.size(); ++i) items_[i].caption = captions[i];
}

MenuItem* PopupMenu::FindItem(const std::string& caption) {
  for (MenuItem& item : items_) {
    if (item.caption == caption) return &item;
  }
  return nullptr;
}

void PopupMenu::Popup() {
  ++popups_;
  if (observer_) observer_->PopupRequested();
}

void PopupMenu::Choose(int index) {
  if (index < 0 || index >= ItemCount()) return;
  if (items_[index].on_click) items_[index].on_click();
}

}  // namespace ui
