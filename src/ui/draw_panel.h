#pragma once

#include <functional>
#include <memory>

#include "ui/canvas.h"
#include "ui/control.h"

namespace ui {

// The surface the line chart draws on. The panel owns its canvas; the program that shows
// the panel gives it one of the toolkit's kind (tests give a recording canvas). Drawing
// code calls Refresh() when a picture is complete so the view repaints it.
class DrawPanel : public Control {
 public:
  ControlKind Kind() const override { return ControlKind::kDrawPanel; }

  Canvas* GetCanvas() const { return canvas_.get(); }
  void SetCanvas(std::unique_ptr<Canvas> canvas);
  void Refresh() { NotifyChanged(); }

  // The mouse moved over the panel, at panel pixels.
  void MouseMove(int x, int y);
  std::function<void(int x, int y)> on_mouse_move;

 private:
  std::unique_ptr<Canvas> canvas_;
};

}  // namespace ui
