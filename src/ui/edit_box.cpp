#include "ui/edit_box.h"

namespace ui {

void EditBox::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  NotifyChanged();
  if (on_changed) on_changed();
}

void EditBox::SetDesignText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  NotifyChanged();
}

void EditBox::SetTextColour(Colour colour) {
  if (colour == text_colour_) return;
  text_colour_ = colour;
  NotifyChanged();
}

void EditBox::SetHint(std::string hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  NotifyChanged();
}

void EditBox::FocusGained() {
  if (on_focus) on_focus();
}

}  // namespace ui
