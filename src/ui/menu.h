#pragma once

// A pop-up menu: a named list of items, shown at the mouse cursor on request.

#include <functional>
#include <string>
#include <vector>

namespace ui {

struct MenuItem {
  std::string caption;
  std::function<void()> on_click;
};

class MenuObserver {
 public:
  virtual ~MenuObserver() = default;
  // Show the menu at the mouse cursor; a chosen item comes back through PopupMenu::Choose.
  virtual void PopupRequested() = 0;
};

class PopupMenu {
 public:
  PopupMenu() = default;
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  // Replaces the items' captions; click handlers of items that stay are kept.
  void SetCaptions(const std::vector<std::string>& captions);

  int ItemCount() const { return static_cast<int>(items_.size()); }
  MenuItem& Item(int index) { return items_.at(index); }
  const MenuItem& Item(int index) const { return items_.at(index); }
  // The item with this caption, or null.
  MenuItem* FindItem(const std::string& caption);

  void Popup();
  int PopupCount() const { return popups_; }
  // The user chose an item.
  void Choose(int index);

  void SetObserver(MenuObserver* observer) { observer_ = observer; }

 private:
  std::string name_;
  std::vector<MenuItem> items_;
  int popups_ = 0;
  MenuObserver* observer_ = nullptr;
};

}  // namespace ui
