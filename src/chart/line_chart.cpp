#include "chart/line_chart.h"

#include <cmath>

#include "base/text.h"
#include "chart/chart_geometry.h"

namespace chart {

namespace {

constexpr ui::Colour kBlack = ui::Rgb(0, 0, 0);
constexpr ui::Colour kGridText = ui::Rgb(128, 128, 128);
constexpr ui::Colour kFineGrid = ui::Rgb(224, 224, 224);
constexpr ui::Colour kLabelGrid = ui::Rgb(192, 192, 192);
// More grid lines than this cannot be told apart on any panel; a count beyond it comes from
// a broken axis text and would only stall the window.
constexpr long long kMaxGridLines = 10000;

std::vector<std::string> SplitSpec(std::string_view spec) {
  return base::Split(base::ReplaceAll(spec, "｜", "|"), "|");
}

}  // namespace

// The value labels asked for: a count of divisions between minimum and maximum, or the
// label values themselves.
struct LineChart::ValueAxis {
  int division_count = 0;
  bool from_range = false;
  std::vector<std::string> pieces;
};

LineChart::LineChart() = default;
LineChart::~LineChart() = default;

void LineChart::DrawChartFrame(ui::Canvas& panel, std::string_view x_spec, std::string_view y_spec,
                               std::string_view titles, const std::vector<std::string>& dates,
                               const FrameOptions& options) {
  layout_ = ChartLayout{};
  layout_.panel = &panel;
  panel.Clear();
  if (snapshot_) {
    snapshot_->Clear();
    RestoreSnapshot();
  }
  panel.SetRetainPicture(true);
  layout_.left = 40 + options.left_adjust;
  layout_.right = panel.Width() - 100 - options.right_adjust;
  layout_.bottom = panel.Height() - 30 - options.bottom_adjust;
  layout_.top = 60 + options.top_adjust;
  const ChartLayout& l = layout_;

  panel.SetPenWidth(1);
  panel.SetPenColour(kBlack);
  panel.SetPenStyle(ui::PenStyle::kSolid);
  panel.Line(l.left, l.bottom, l.right + 20, l.bottom);
  panel.Line(l.left, l.bottom, l.left, l.top - 10);

  panel.SetPenStyle(ui::PenStyle::kDotted);
  panel.SetTextColour(kGridText);
  panel.SetFontSize(kFontSize);
  panel.SetPenWidth(0);
  panel.SetPenColour(kFineGrid);
  std::vector<std::string> x_pieces = SplitSpec(x_spec);
  layout_.divisions = x_pieces.empty() ? 0 : ToInt(base::ToNumber(x_pieces[0]));
  const double label_step = DrawVerticalGrid(x_pieces, options.vertical_subdivision);
  ValueAxis axis = ReadValueAxis(y_spec);
  DrawHorizontalGrid(axis, options.horizontal_grid);
  panel.SetPenColour(kLabelGrid);
  DrawDateLabels(x_pieces, label_step);
  DrawValueLabels(axis);
  DrawZeroLine();

  panel.SetTextColour(kBlack);
  panel.SetFontSize(kFontSize);
  std::string x_title;
  if (!titles.empty()) x_title = DrawTitles(titles);
  FillReadoutHeader(x_title, dates, options.readout_enabled);
}

double LineChart::DrawVerticalGrid(const std::vector<std::string>& x_pieces, int factor) {
  const ChartLayout& l = layout_;
  // The first piece is the interval count; every later one is a label slot.
  long long slots = static_cast<long long>(x_pieces.size()) - 2;
  double span = l.right - l.left;
  if (slots > 0 && factor > 0) {
    long long count = slots * factor;
    double step = span / static_cast<double>(count);
    if (count <= kMaxGridLines) {
      for (long long i = 1; i <= count; ++i) {
        int x = ToPixel(l.left + step * static_cast<double>(i));
        l.panel->Line(x, l.bottom - 1, x, l.top);
      }
    }
    return factor * step;
  }
  // Without fine lines the labels still spread evenly over the plot.
  return slots > 0 ? span / static_cast<double>(slots) : 0;
}

LineChart::ValueAxis LineChart::ReadValueAxis(std::string_view y_spec) {
  ValueAxis axis;
  axis.pieces = SplitSpec(y_spec);
  float min_value = 0;
  float max_value = 0;
  if (axis.pieces.size() == 3) {
    axis.from_range = true;
    axis.division_count = ToInt(base::ToNumber(axis.pieces[0]));
    min_value = static_cast<float>(base::ToNumber(axis.pieces[1]));
    max_value = static_cast<float>(base::ToNumber(axis.pieces[2]));
  } else if (!axis.pieces.empty()) {
    axis.division_count = static_cast<int>(axis.pieces.size());
    min_value = static_cast<float>(base::ToNumber(axis.pieces.front()));
    max_value = static_cast<float>(base::ToNumber(axis.pieces.back()));
  }
  if (!axis.pieces.empty() && min_value == max_value) {
    // A flat range has no scale. Every value whose whole part is the same integer lies
    // within one unit of it, so one unit either side shows such a series in full.
    min_value = static_cast<float>(double{min_value} - 1.0);
    max_value = static_cast<float>(double{max_value} + 1.0);
  }
  layout_.min_value = min_value;
  layout_.max_value = max_value;
  return axis;
}

void LineChart::DrawHorizontalGrid(const ValueAxis& axis, int factor) {
  const ChartLayout& l = layout_;
  long long count = static_cast<long long>(axis.division_count) * factor;
  if (count <= 0 || count > kMaxGridLines) return;
  double step = static_cast<double>(l.bottom - l.top) / static_cast<double>(count);
  for (long long i = 1; i <= count; ++i) {
    int y = ToPixel(l.bottom - step * static_cast<double>(i));
    l.panel->Line(l.left + 1, y, l.right, y);
  }
}

void LineChart::DrawDateLabels(const std::vector<std::string>& x_pieces, double label_step) {
  const ChartLayout& l = layout_;
  for (size_t u = 2; u <= x_pieces.size(); ++u) {
    const std::string& piece = x_pieces[u - 1];
    int x = ToPixel(l.left + label_step * static_cast<double>(u - 2));
    if (u > 2) l.panel->Line(x, l.bottom - 1, x, l.top);
    if (piece.empty()) continue;
    // The first label starts at the axis; the others are centred on their line.
    int text_x = u == 2 ? x - 1 : ToPixel(x - TextWidth(piece, kFontSize) / 2);
    l.panel->Text(text_x, l.bottom + 3, piece);
  }
}

void LineChart::DrawValueLabels(const ValueAxis& axis) {
  const ChartLayout& l = layout_;
  std::optional<double> scale = ValueScale();
  int count = axis.division_count;
  if (!scale || count < 1 || count > kMaxGridLines) return;
  double min_value = l.min_value;
  double max_value = l.max_value;
  bool two_decimals = HasFraction(min_value) && HasFraction(max_value);
  double pixel_height = FontPixelHeight(kFontSize);
  // Listed labels are drawn one per piece; a range gives count + 1 labels from min to max.
  int label_count = axis.from_range ? count + 1 : count;
  for (int i = 1; i <= label_count; ++i) {
    double value = axis.from_range ? min_value + (max_value - min_value) / count * (i - 1)
                                   : base::ToNumber(axis.pieces[static_cast<size_t>(i - 1)]);
    if (!std::isfinite(value)) continue;
    int y = ValueToY(value, *scale);
    if (i > 1) l.panel->Line(l.left + 1, y, l.right, y);
    std::string label = ValueLabel(value, two_decimals);
    l.panel->Text(ToPixel(l.left - TextWidth(label, kFontSize) - 2),
                  ToPixel(y - pixel_height / 2 - 1), label);
  }
}

void LineChart::DrawZeroLine() {
  const ChartLayout& l = layout_;
  std::optional<double> scale = ValueScale();
  if (!scale || !(l.min_value < -kTolerance && l.max_value > kTolerance)) return;
  double pixel_height = FontPixelHeight(kFontSize);
  l.panel->SetPenStyle(ui::PenStyle::kSolid);
  int y0 = ValueToY(0, *scale);
  l.panel->Line(l.left + 1, y0, l.right, y0);
  l.panel->Text(ToPixel(l.left - pixel_height), ToPixel(y0 - pixel_height / 2), "0");
}

std::string LineChart::DrawTitles(std::string_view titles) {
  const ChartLayout& l = layout_;
  std::string text = base::ReplaceAll(titles, "｜", "|");
  size_t bar = text.find('|');
  std::string x_title = bar == std::string::npos ? std::string() : text.substr(0, bar);
  std::string y_title = base::ReplaceAll(text, x_title + "|", "");
  if (!x_title.empty()) l.panel->Text(l.right + 20 + 5, l.bottom - 8, x_title);
  if (!y_title.empty()) l.panel->Text(l.left - 10, l.top - 20 - 10, y_title);
  return x_title;
}

void LineChart::FillReadoutHeader(const std::string& x_title, const std::vector<std::string>& dates,
                                  bool enabled) {
  layout_.row_count = 1;
  readout_.Reset(1, static_cast<int>(dates.size()) + 2);
  // An empty first cell is what switches the read-out box off.
  readout_.SetCell(1, 1, enabled && !dates.empty() ? x_title : std::string());
  readout_.SetCell(1, 2, base::IntToText(kBlack));
  for (size_t i = 0; i < dates.size(); ++i) {
    readout_.SetCell(1, static_cast<int>(i) + 3, dates[i]);
  }
}

std::optional<double> LineChart::ValueScale() const {
  double range = double{layout_.max_value} - double{layout_.min_value};
  if (!std::isfinite(range) || range == 0) return std::nullopt;
  double scale = (layout_.bottom - layout_.top) / range;
  if (!std::isfinite(scale)) return std::nullopt;
  return scale;
}

int LineChart::ValueToY(double value, double scale) const {
  return ToPixel(layout_.bottom - scale * (value - double{layout_.min_value}));
}

}  // namespace chart
