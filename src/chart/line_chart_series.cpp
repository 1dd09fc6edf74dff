// The series and cursor half of the line chart: polylines, legend, read-out rows, the
// snapshot, and the cross-hair with its read-out box.

#include <algorithm>
#include <cmath>

#include "base/encoding.h"
#include "base/text.h"
#include "chart/chart_geometry.h"
#include "chart/line_chart.h"

namespace chart {

namespace {

constexpr ui::Colour kBoxOutline = ui::Rgb(96, 96, 96);
constexpr ui::Colour kBoxFill = ui::Rgb(192, 192, 192);
// Bytes of a series name that fit the read-out box.
constexpr int kBoxNameWidth = 8;

ui::Colour ColourFromText(const std::string& text) {
  double value = base::ToNumber(text);
  if (!(value >= 0)) return 0;
  return static_cast<ui::Colour>(std::min(value, double{0xFFFFFF}));
}

}  // namespace

void LineChart::DrawChartSeries(const std::vector<float>& values, int pen_width, ui::Colour colour,
                                std::string_view name) {
  ui::Canvas* panel = layout_.panel;
  if (panel == nullptr) return;
  colour &= 0xFFFFFF;
  panel->SetPenWidth(pen_width);
  panel->SetPenColour(colour);
  panel->SetTextColour(colour);
  panel->SetFontSize(kFontSize);
  DrawPolyline(values);
  if (!name.empty()) DrawLegend(pen_width, name);
  AddReadoutRow(values, colour, name);
  StoreSnapshot();
}

void LineChart::DrawPolyline(const std::vector<float>& values) {
  const ChartLayout& l = layout_;
  std::optional<double> scale = ValueScale();
  if (!scale || l.divisions <= 0) return;
  double x_step = static_cast<double>(l.right - l.left) / l.divisions;
  bool have_previous = false;
  int previous_x = 0;
  int previous_y = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    double value = values[i];
    // A value that is not a number breaks the line instead of sending it off the panel.
    if (!std::isfinite(value)) {
      have_previous = false;
      continue;
    }
    int x = ToPixel(l.left + x_step * static_cast<double>(i));
    int y = ValueToY(value, *scale);
    if (have_previous) l.panel->Line(previous_x, previous_y, x, y);
    previous_x = x;
    previous_y = y;
    have_previous = true;
  }
}

void LineChart::DrawLegend(int pen_width, std::string_view name) {
  const ChartLayout& l = layout_;
  // Each legend entry sits two text lines (144/72 of the font size) below the previous one.
  double ly = l.top + kFontSize / 72.0 * (l.row_count - 1) * 144;
  l.panel->Rectangle(l.right + 10, ToPixel(ly), l.right + 20, ToPixel(ly + pen_width));
  l.panel->Text(l.right + 25, ToPixel(ly - FontPixelHeight(kFontSize) / 2), std::string(name));
}

void LineChart::AddReadoutRow(const std::vector<float>& values, ui::Colour colour,
                              std::string_view name) {
  int row = ++layout_.row_count;
  readout_.Grow(row, static_cast<int>(values.size()) + 2);
  readout_.SetCell(row, 1, std::string(name));
  readout_.SetCell(row, 2, base::IntToText(colour));
  for (size_t i = 0; i < values.size(); ++i) {
    readout_.SetCell(row, static_cast<int>(i) + 3, base::FloatToText(values[i]));
  }
}

void LineChart::StoreSnapshot() {
  ui::Canvas& panel = *layout_.panel;
  if (!snapshot_ || snapshot_->Width() != panel.Width() || snapshot_->Height() != panel.Height()) {
    snapshot_ = panel.CreateLike();
    if (!snapshot_) return;
    snapshot_->SetRetainPicture(true);
  }
  panel.CopyTo(*snapshot_);
}

void LineChart::TrackChartCursor(int x, int y) {
  const ChartLayout& l = layout_;
  if (!snapshot_ || l.panel == nullptr) return;
  if (x < l.left - 10 || x > l.right + 20 || y < l.top - 20 || y > l.bottom + 10) {
    RestoreSnapshot();
    return;
  }
  DrawCrossHair(x, y);
  int index = ReadoutIndex(x);
  // The box is redrawn only when the mouse reaches another date.
  if (index == 0 || index == l.last_index) return;
  layout_.last_index = index;
  if (readout_.Cell(1, 1).empty()) return;
  double pixel_height = FontPixelHeight(kFontSize);
  int box_width = ToPixel(kFontSize / 72.0 * 768 + 30);
  int box_height = ToPixel((pixel_height + 5) * l.row_count);
  int box_top = l.top - 20;
  PlaceBox(index, box_width, box_top, box_height);
  FillBox(index, box_width, box_top, box_height);
}

void LineChart::RestoreSnapshot() {
  if (snapshot_ && layout_.panel != nullptr) snapshot_->CopyTo(*layout_.panel);
  layout_.last_x = 0;
  layout_.last_y = 0;
  layout_.box_x = 0;
  layout_.last_index = 0;
}

void LineChart::DrawCrossHair(int x, int y) {
  ChartLayout& l = layout_;
  ui::Canvas& panel = *l.panel;
  ui::DrawMode saved_mode = panel.GetDrawMode();
  panel.SetPenStyle(ui::PenStyle::kDotted);
  panel.SetPenWidth(1);
  panel.SetDrawMode(ui::DrawMode::kInvert);
  auto draw = [&](int at_x, int at_y) {
    panel.Line(l.left, at_y, l.right + 20, at_y);
    panel.Line(at_x, l.bottom, at_x, l.top - 30);
  };
  // Inverting the same lines a second time restores what was under them.
  if (l.last_x + l.last_y > 0) draw(l.last_x, l.last_y);
  l.last_x = x;
  l.last_y = y;
  draw(x, y);
  panel.SetDrawMode(saved_mode);
}

int LineChart::ReadoutIndex(int x) const {
  const ChartLayout& l = layout_;
  int columns = readout_.ColumnCount();
  // Fewer than three dates: a cross-hair only.
  if (columns <= 4) return 0;
  int span = l.right - l.left;
  double raw = span != 0 ? static_cast<double>(x - l.left) / span * l.divisions + 1 : 1;
  return std::clamp(ToInt(raw), 1, columns - 2);
}

void LineChart::PlaceBox(int index, int box_width, int box_top, int box_height) {
  ChartLayout& l = layout_;
  ui::Canvas& panel = *l.panel;
  double half = l.divisions / 2.0;
  if (l.box_x == 0) l.box_x = index < half ? l.left + 10 : l.right - box_width - 10;
  panel.SetPenStyle(ui::PenStyle::kSolid);
  panel.SetPenColour(kBoxOutline);
  // The box keeps to the half of the plot away from the mouse.
  bool move = false;
  if (index < half - kTolerance && l.box_x < l.left + 100) {
    l.box_x = l.right - box_width - 10;
    move = true;
  } else if (index > half + kTolerance && l.box_x > l.left + 100) {
    l.box_x = l.left + 10;
    move = true;
  }
  if (!move) return;
  // The snapshot copy erases the old box and the cross-hair just drawn.
  l.last_x = 0;
  l.last_y = 0;
  snapshot_->CopyTo(panel);
  panel.Rectangle(l.box_x, box_top, l.box_x + box_width, box_top + box_height);
}

void LineChart::FillBox(int index, int box_width, int box_top, int box_height) {
  const ChartLayout& l = layout_;
  ui::Canvas& panel = *l.panel;
  double pixel_height = FontPixelHeight(kFontSize);
  panel.SetFontSize(kFontSize);
  panel.SetBrushColour(kBoxFill);
  panel.FillRectangle(l.box_x + 2, box_top + 2, l.box_x + box_width - 2, box_top + box_height - 2);
  for (int n = 1; n <= l.row_count; ++n) {
    panel.SetTextColour(ColourFromText(readout_.Cell(n, 2)));
    std::string text =
        base::GbkPrefix(readout_.Cell(n, 1), kBoxNameWidth) + "：" + readout_.Cell(n, index + 2);
    panel.Text(l.box_x + 5, ToPixel(box_top + (pixel_height + 3) * (n - 1) + 5), text);
  }
}

}  // namespace chart
