#pragma once

// The common part of every control model: design name, geometry in the parent's client
// pixels, visibility, enabled state, the containing control and a tool-tip. A model notifies
// one observer (its view) whenever something the view shows changes; the name and the
// containing control are set with the design, before a view exists, and are not reported.

#include <string>

namespace ui {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class ControlKind {
  kButton,
  kLabel,
  kCheckBox,
  kRadioBox,
  kEditBox,
  kListView,
  kGrid,
  kPictureBox,
  kShapeBox,
  kHtmlViewer,
  kDrawPanel,
  kGroupBox,
  kChoiceBox,
};

class ControlObserver {
 public:
  virtual ~ControlObserver() = default;
  // Any property of the control changed; the view re-reads what it shows.
  virtual void ControlChanged() = 0;
  // The control asked to be drawn above its siblings.
  virtual void ControlRaised() {}
};

class Control {
 public:
  Control() = default;
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual ControlKind Kind() const = 0;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  const Rect& Geometry() const { return rect_; }
  void SetGeometry(Rect rect);
  void SetHeight(int height);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // The control this one sits inside (a group box or shape box), or null for the window.
  Control* Parent() const { return parent_; }
  void SetParent(Control* parent) { parent_ = parent; }

  // Shown as a balloon tip while the mouse is over the control; empty for none.
  const std::string& ToolTip() const { return tool_tip_; }
  void SetToolTip(std::string text);

  // What a screen reader calls a control that shows no caption of its own (a grid, a draw
  // panel); empty: the toolkit's own (a button's or label's text).
  const std::string& AccessibleName() const { return accessible_name_; }
  void SetAccessibleName(std::string name);

  void Raise();

  void SetControlObserver(ControlObserver* observer) { control_observer_ = observer; }

 protected:
  void NotifyChanged();

 private:
  std::string name_;
  Rect rect_;
  bool visible_ = true;
  bool enabled_ = true;
  Control* parent_ = nullptr;
  std::string tool_tip_;
  std::string accessible_name_;
  ControlObserver* control_observer_ = nullptr;
};

}  // namespace ui
