#pragma once

#include <functional>
#include <string>

#include "ui/canvas.h"
#include "ui/control.h"

namespace ui {

// A one-line text box. Every change of the content runs on_changed, whether the user typed
// it or the program set it.
class EditBox : public Control {
 public:
  ControlKind Kind() const override { return ControlKind::kEditBox; }

  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  // Sets the content without raising on_changed: the design state of the box.
  void SetDesignText(std::string text);
  Colour TextColour() const { return text_colour_; }
  // Grey text shown while the box is empty; never part of Text().
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);
  void SetTextColour(Colour colour);

  // The box received the keyboard focus.
  void FocusGained();

  std::function<void()> on_focus;
  std::function<void()> on_changed;

 private:
  std::string text_;
  Colour text_colour_ = 0;
  std::string hint_;
};

}  // namespace ui
