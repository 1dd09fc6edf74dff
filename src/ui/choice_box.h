#pragma once

// A drop-down choice of fixed items: one item is chosen at a time, or none.

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

class ChoiceBox : public Control {
 public:
  ControlKind Kind() const override { return ControlKind::kChoiceBox; }

  const std::vector<std::string>& Items() const { return items_; }
  // Replaces the items; the first one becomes the choice (none when there are none).
  void SetItems(std::vector<std::string> items);

  // The chosen item's index, -1 for none.
  int Current() const { return current_; }
  // The chosen item's text, empty for none.
  std::string CurrentText() const;
  // Chooses by program; an index outside the items chooses none. Raises no event.
  void SetCurrent(int index);
  // The user chose `index`: the choice changes, then on_changed runs.
  void Choose(int index);

  std::function<void()> on_changed;

 private:
  std::vector<std::string> items_;
  int current_ = -1;
};

}  // namespace ui
