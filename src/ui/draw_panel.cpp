#include "ui/draw_panel.h"

namespace ui {

void DrawPanel::SetCanvas(std::unique_ptr<Canvas> canvas) {
  canvas_ = std::move(canvas);
  NotifyChanged();
}

void DrawPanel::MouseMove(int x, int y) {
  if (on_mouse_move) on_mouse_move(x, y);
}

}  // namespace ui
