#pragma once

// The picture of the NAV history window: the unit NAV and the accumulated NAV of the shown
// points as two lines over one value axis, a date axis below, the trade marks on the unit-NAV
// line (a red up-triangle for a buy, a green down-triangle for a sale, a small square for a
// dividend or a split), and the cross-hair of the day under the mouse. The days are spaced
// evenly, one step per trading day.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "base/nav_history.h"
#include "navchart/nav_figures.h"
#include "ui/canvas.h"

namespace navchart {

inline constexpr ui::Colour kUnitColour = ui::Rgb(0, 90, 200);
inline constexpr ui::Colour kAccumulatedColour = ui::Rgb(230, 120, 0);
inline constexpr ui::Colour kBuyColour = ui::Rgb(220, 0, 0);
inline constexpr ui::Colour kSaleColour = ui::Rgb(0, 150, 0);
inline constexpr ui::Colour kEventColour = ui::Rgb(128, 0, 160);

class NavPlot {
 public:
  NavPlot() = default;
  // The layout of `shown` over a panel of `width` × `height` pixels.
  NavPlot(std::span<const base::NavPoint> shown, int width, int height);

  // The shown point nearest to panel column `x`; nothing off the plot or without points.
  std::optional<size_t> IndexAt(int x) const;
  // Where a column stands for several days (a long period), the first and last of the shown
  // points drawn in column `x`; both IndexAt(x) where it stands for one day or none.
  std::pair<size_t, size_t> IndicesAt(int x) const;
  int X(size_t index) const;
  int Y(std::int64_t nav) const;

  // The whole picture; `marks` whose day is not among the shown points are left out (a trade on
  // a day without a NAV is drawn on the next day that has one).
  void Draw(ui::Canvas& canvas, const std::vector<TradeMark>& marks) const;
  // The cross-hair through the point `index`.
  void DrawCursor(ui::Canvas& canvas, size_t index) const;

  // The shown point that carries `mark`; nothing when it falls outside the shown days.
  std::optional<size_t> MarkIndex(const TradeMark& mark) const;

 private:
  std::span<const base::NavPoint> shown_;
  int width_ = 0;
  int left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
  std::int64_t low_ = 0, high_ = 1;
};

}  // namespace navchart
