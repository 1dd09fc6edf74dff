#include "navchart/nav_plot.h"

#include <algorithm>

#include "base/decimal.h"
#include "ui/chart_marks.h"

namespace navchart {

namespace {

constexpr int kLeftMargin = 64;
constexpr int kRightMargin = 16;
constexpr int kTopMargin = 24;
constexpr int kBottomMargin = 28;
constexpr int kFontSize = 9;
constexpr int kValueSteps = 5;
constexpr int kDaySteps = 5;
constexpr int kMarkSize = 6;
constexpr ui::Colour kFrameColour = ui::Rgb(160, 160, 160);
constexpr ui::Colour kGridColour = ui::Rgb(190, 190, 190);
constexpr ui::Colour kTextColour = ui::Rgb(64, 64, 64);

// A filled triangle pointing up (`up`) or down with its tip `size` pixels from (x, y).
void Triangle(ui::Canvas& canvas, int x, int y, bool up, int size) {
  for (int row = 0; row <= size; ++row) {
    const int half = row / 2 + 1;
    const int at = up ? y + row : y - row;
    canvas.Line(x - half, at, x + half + 1, at);
  }
}

}  // namespace

NavPlot::NavPlot(std::span<const base::NavPoint> shown, int width, int height)
    : shown_(shown),
      width_(width),
      left_(kLeftMargin),
      right_(std::max(kLeftMargin + 1, width - kRightMargin)),
      top_(kTopMargin),
      bottom_(std::max(kTopMargin + 1, height - kBottomMargin)) {
  bool any = false;
  for (const base::NavPoint& point : shown_) {
    for (const std::optional<std::int64_t> nav :
         {std::optional<std::int64_t>(point.unit_nav), point.accumulated_nav}) {
      if (!nav) continue;
      low_ = any ? std::min(low_, *nav) : *nav;
      high_ = any ? std::max(high_, *nav) : *nav;
      any = true;
    }
  }
  // A little room above and below the lines; a flat history gets a band around its value.
  const std::int64_t pad = std::max<std::int64_t>((high_ - low_) / 20, 10);
  low_ = std::max<std::int64_t>(0, low_ - pad);
  high_ += pad;
}

int NavPlot::X(size_t index) const {
  if (shown_.size() < 2) return (left_ + right_) / 2;
  return left_ + static_cast<int>(static_cast<std::int64_t>(index) * (right_ - left_) /
                                  static_cast<std::int64_t>(shown_.size() - 1));
}

int NavPlot::Y(std::int64_t nav) const {
  const __int128 span = high_ - low_;
  const __int128 offset = static_cast<__int128>(nav - low_) * (bottom_ - top_);
  return bottom_ - static_cast<int>(offset / span);
}

std::optional<size_t> NavPlot::IndexAt(int x) const {
  if (shown_.empty() || x < left_ - kMarkSize || x > right_ + kMarkSize) return std::nullopt;
  if (shown_.size() == 1) return 0;
  const std::int64_t steps = static_cast<std::int64_t>(shown_.size() - 1);
  const std::int64_t from_left = std::clamp(x, left_, right_) - left_;
  return static_cast<size_t>(
      *base::RoundDivide(static_cast<__int128>(from_left) * steps, right_ - left_));
}

std::pair<size_t, size_t> NavPlot::IndicesAt(int x) const {
  const std::optional<size_t> nearest = IndexAt(x);
  if (!nearest || shown_.size() < 2 || x < left_ || x > right_) {
    return {nearest.value_or(0), nearest.value_or(0)};
  }
  // X(i) = left + ⌊i·width / steps⌋, so column x draws the points i with
  // ⌈(x − left)·steps / width⌉ ≤ i < ⌈(x − left + 1)·steps / width⌉.
  const std::int64_t steps = static_cast<std::int64_t>(shown_.size() - 1);
  const std::int64_t width = right_ - left_;
  const auto ceil_div = [](std::int64_t a, std::int64_t b) { return (a + b - 1) / b; };
  const std::int64_t first = ceil_div((x - left_) * steps, width);
  const std::int64_t last = std::min(steps, ceil_div((x - left_ + 1) * steps, width) - 1);
  if (first > last) return {*nearest, *nearest};
  return {static_cast<size_t>(first), static_cast<size_t>(last)};
}

std::optional<size_t> NavPlot::MarkIndex(const TradeMark& mark) const {
  const auto at = std::lower_bound(
      shown_.begin(), shown_.end(), mark.day,
      [](const base::NavPoint& point, const std::string& day) { return point.day < day; });
  if (at == shown_.end()) return std::nullopt;
  // A trade before the shown days belongs to an earlier period.
  if (at == shown_.begin() && at->day != mark.day) return std::nullopt;
  return static_cast<size_t>(at - shown_.begin());
}

void NavPlot::Draw(ui::Canvas& canvas, const std::vector<TradeMark>& marks) const {
  canvas.SetDrawMode(ui::DrawMode::kNormal);
  canvas.SetBrushColour(ui::Rgb(255, 255, 255));
  canvas.Clear();
  canvas.SetFontSize(kFontSize);
  canvas.SetPenWidth(0);
  canvas.SetTextColour(kTextColour);
  if (shown_.empty()) {
    canvas.Text(left_, (top_ + bottom_) / 2, "没有净值数据");
    return;
  }
  // The value axis: dotted lines with their values.
  canvas.SetPenStyle(ui::PenStyle::kDotted);
  canvas.SetPenColour(kGridColour);
  for (int step = 0; step <= kValueSteps; ++step) {
    const std::int64_t value = low_ + (high_ - low_) * step / kValueSteps;
    const int y = Y(value);
    canvas.Line(left_, y, right_, y);
    canvas.Text(4, y - 7, base::ScaledText(value, base::kNavDecimals, 4));
  }
  // The date axis: the first and last day and evenly spaced days between.
  ui::DrawDayAxis(
      canvas, width_, shown_.size(), kDaySteps, top_, bottom_,
      [this](size_t index) { return X(index); },
      [this](size_t index) { return shown_[index].day; });
  canvas.SetPenStyle(ui::PenStyle::kSolid);
  canvas.SetPenColour(kFrameColour);
  canvas.Line(left_, top_, left_, bottom_);
  canvas.Line(left_, bottom_, right_, bottom_);

  // The legend.
  ui::DrawLegend(canvas, left_, {{kUnitColour, "单位净值"}, {kAccumulatedColour, "累计净值"}});

  // The lines: the accumulated NAV joins the days that have one.
  canvas.SetPenWidth(0);
  canvas.SetPenColour(kAccumulatedColour);
  std::optional<std::pair<int, int>> from;
  for (size_t i = 0; i < shown_.size(); ++i) {
    if (!shown_[i].accumulated_nav) continue;
    const std::pair<int, int> to{X(i), Y(*shown_[i].accumulated_nav)};
    if (from) canvas.Line(from->first, from->second, to.first, to.second);
    from = to;
  }
  canvas.SetPenColour(kUnitColour);
  for (size_t i = 1; i < shown_.size(); ++i) {
    canvas.Line(X(i - 1), Y(shown_[i - 1].unit_nav), X(i), Y(shown_[i].unit_nav));
  }

  // The marks on the unit-NAV line: a buy's triangle below it points up at the day, a sale's
  // above it points down.
  for (const TradeMark& mark : marks) {
    const std::optional<size_t> index = MarkIndex(mark);
    if (!index) continue;
    const int x = X(*index);
    const int y = Y(shown_[*index].unit_nav);
    switch (mark.kind) {
      case MarkKind::kBuy:
        canvas.SetPenColour(kBuyColour);
        Triangle(canvas, x, y + 3, true, kMarkSize * 2);
        break;
      case MarkKind::kSale:
        canvas.SetPenColour(kSaleColour);
        Triangle(canvas, x, y - 3, false, kMarkSize * 2);
        break;
      case MarkKind::kEvent:
        canvas.SetBrushColour(kEventColour);
        canvas.FillRectangle(x - 2, y - 2, x + 3, y + 3);
        break;
    }
  }
}

void NavPlot::DrawCursor(ui::Canvas& canvas, size_t index) const {
  if (index >= shown_.size()) return;
  const int x = X(index);
  const int y = Y(shown_[index].unit_nav);
  canvas.SetDrawMode(ui::DrawMode::kNormal);
  canvas.SetPenStyle(ui::PenStyle::kSolid);
  canvas.SetPenWidth(0);
  canvas.SetPenColour(ui::Rgb(96, 96, 96));
  canvas.Line(x, top_, x, bottom_);
  canvas.Line(left_, y, right_, y);
  canvas.SetBrushColour(kUnitColour);
  canvas.FillRectangle(x - 3, y - 3, x + 4, y + 4);
}

}  // namespace navchart
