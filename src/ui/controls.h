#pragma once

// The small control kinds: buttons, labels, check and radio boxes, group and shape boxes,
// picture boxes. Events are plain callbacks attached by the program; the view raises them
// through the methods named after the user's action (Click, LeftPress).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

// A control with a caption (button, label, check box, radio box, group box).
class CaptionedControl : public Control {
 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 private:
  std::string caption_;
};

class Button : public CaptionedControl {
 public:
  ControlKind Kind() const override { return ControlKind::kButton; }
  // The user clicked: runs on_click unless the button is disabled.
  void Click();
  std::function<void()> on_click;
};

class Label : public CaptionedControl {
 public:
  ControlKind Kind() const override { return ControlKind::kLabel; }
};

class GroupBox : public CaptionedControl {
 public:
  ControlKind Kind() const override { return ControlKind::kGroupBox; }
};

// A plain container panel.
class ShapeBox : public Control {
 public:
  ControlKind Kind() const override { return ControlKind::kShapeBox; }
};

// A captioned box with a checked state that the user's click changes. Setting the state by
// program raises no event.
class CheckableControl : public CaptionedControl {
 public:
  bool Checked() const { return checked_; }
  std::function<void()> on_click;

 protected:
  void StoreChecked(bool checked);

 private:
  bool checked_ = false;
};

class CheckBox : public CheckableControl {
 public:
  ControlKind Kind() const override { return ControlKind::kCheckBox; }
  void SetChecked(bool checked) { StoreChecked(checked); }
  // The user clicked: the state flips, then on_click runs and reads the new state.
  void Click();
};

class RadioBox : public CheckableControl {
 public:
  ControlKind Kind() const override { return ControlKind::kRadioBox; }
  // Makes the boxes one group: checking one unchecks the others.
  static void Group(const std::vector<RadioBox*>& boxes);

  void SetChecked(bool checked);
  // The user clicked: the box becomes checked, then on_click runs.
  void Click();

 private:
  std::shared_ptr<std::vector<RadioBox*>> group_;
};

// Shows an image from the program's resources, named by file (e.g. "close_mark.png"),
// scaled into the control's size.
class PictureBox : public Control {
 public:
  ControlKind Kind() const override { return ControlKind::kPictureBox; }
  const std::string& Image() const { return image_; }
  void SetImage(std::string image);
  // The left mouse button went down over the picture.
  void LeftPress();
  std::function<void()> on_left_press;

 private:
  std::string image_;
};

}  // namespace ui
