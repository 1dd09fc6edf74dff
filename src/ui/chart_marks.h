#pragma once

// Marks the program's line charts share, drawn on a canvas: a legend of coloured lines with
// their names along the top, and a day axis of dotted lines with their days.

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "ui/canvas.h"

namespace ui {

// From `left` + 8, each entry's short line at y 10 and its name beside it, 100 pixels apart.
// Leaves the pen 2 wide.
void DrawLegend(Canvas& canvas, int left,
                std::initializer_list<std::pair<Colour, const char*>> lines);

// The first and the last of `count` days and evenly spaced ones between (at most `steps` + 1):
// a line from `top` to `bottom` at x_of(index) and day_of(index) below it, kept within
// `width`. Uses the pen as it is set.
void DrawDayAxis(Canvas& canvas, int width, size_t count, size_t steps, int top, int bottom,
                 const std::function<int(size_t)>& x_of,
                 const std::function<std::string(size_t)>& day_of);

}  // namespace ui
