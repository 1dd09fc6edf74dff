#include "ui/chart_marks.h"

#include <algorithm>

namespace ui {

void DrawLegend(Canvas& canvas, int left,
                std::initializer_list<std::pair<Colour, const char*>> lines) {
  int x = left + 8;
  for (const auto& [colour, name] : lines) {
    canvas.SetPenColour(colour);
    canvas.SetPenWidth(2);
    canvas.Line(x, 10, x + 20, 10);
    canvas.SetTextColour(colour);
    canvas.Text(x + 24, 3, name);
    x += 100;
  }
}

void DrawDayAxis(Canvas& canvas, int width, size_t count, size_t steps, int top, int bottom,
                 const std::function<int(size_t)>& x_of,
                 const std::function<std::string(size_t)>& day_of) {
  if (count == 0) return;
  const size_t last = count - 1;
  steps = std::min(steps, last);
  for (size_t step = 0; step <= steps; ++step) {
    const size_t index = steps == 0 ? 0 : last * step / steps;
    const int x = x_of(index);
    canvas.Line(x, top, x, bottom);
    canvas.Text(std::clamp(x - 32, 0, std::max(0, width - 68)), bottom + 6, day_of(index));
  }
}

}  // namespace ui
