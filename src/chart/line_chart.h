#pragma once

// A multi-series line chart on a draw panel, with a cross-hair and a read-out box that
// follow the mouse. The program keeps one LineChart for its chart panel.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/readout_table.h"
#include "ui/canvas.h"

namespace chart {

// Where the last frame was drawn and what the cursor shows now. Pixels of the panel.
struct ChartLayout {
  ui::Canvas* panel = nullptr;
  int left = 0;         // x of the y-axis
  int right = 0;        // right end of the plot
  int bottom = 0;       // y of the x-axis
  int top = 0;          // top of the plot
  int divisions = 0;    // x intervals between the first and the last date
  float min_value = 0;  // value at the x-axis
  float max_value = 0;  // value at the top
  int row_count = 0;    // rows of the read-out table in use
  int last_x = 0;       // cross-hair on screen; (0, 0) is none
  int last_y = 0;
  int box_x = 0;       // left edge of the read-out box; 0 is not placed yet
  int last_index = 0;  // date index the read-out box shows
};

struct FrameOptions {
  int left_adjust = 0;
  int bottom_adjust = 0;
  int right_adjust = 0;
  int top_adjust = 0;
  // Fine vertical grid lines per x label piece.
  int vertical_subdivision = 2;
  // Fine horizontal grid lines per value division.
  int horizontal_grid = 0;
  bool readout_enabled = true;
};

class LineChart {
 public:
  LineChart();
  ~LineChart();
  LineChart(const LineChart&) = delete;
  LineChart& operator=(const LineChart&) = delete;

  // Clears `panel` and draws axes, grid, date and value labels, the zero line and the axis
  // titles. `x_spec` is the interval count followed by the x labels, `y_spec` either
  // "count|min|max" or the value labels themselves, `titles` "x title|y title"; the
  // full-width bar "｜" counts as "|" in all three. A range with equal ends is widened by one
  // unit each way; one that still cannot be scaled (not finite) gets no value labels and no
  // series lines. The chart remembers the panel until the next frame; it must outlive the
  // chart's use of it.
  void DrawChartFrame(ui::Canvas& panel, std::string_view x_spec, std::string_view y_spec,
                      std::string_view titles, const std::vector<std::string>& dates,
                      const FrameOptions& options = {});

  // Draws one series as a polyline with a legend entry, adds it to the read-out and keeps a
  // copy of the finished picture for erasing the cursor.
  void DrawChartSeries(const std::vector<float>& values, int pen_width, ui::Colour colour,
                       std::string_view name);

  // The panel's mouse-move handler, at panel pixels.
  void TrackChartCursor(int x, int y);

  const ChartLayout& Layout() const { return layout_; }
  const ReadoutTable& Readout() const { return readout_; }
  // The copy of the finished chart, or null before the first series.
  const ui::Canvas* Snapshot() const { return snapshot_.get(); }

 private:
  struct ValueAxis;

  // Draws the fine vertical lines and returns the distance between two x label pieces.
  double DrawVerticalGrid(const std::vector<std::string>& x_pieces, int factor);
  ValueAxis ReadValueAxis(std::string_view y_spec);
  void DrawHorizontalGrid(const ValueAxis& axis, int factor);
  void DrawDateLabels(const std::vector<std::string>& x_pieces, double label_step);
  void DrawValueLabels(const ValueAxis& axis);
  void DrawZeroLine();
  // Writes both axis titles and returns the x title.
  std::string DrawTitles(std::string_view titles);
  void FillReadoutHeader(const std::string& x_title, const std::vector<std::string>& dates,
                         bool enabled);

  void DrawPolyline(const std::vector<float>& values);
  void DrawLegend(int pen_width, std::string_view name);
  void AddReadoutRow(const std::vector<float>& values, ui::Colour colour, std::string_view name);
  void StoreSnapshot();

  // Copies the snapshot back and forgets the cross-hair and box.
  void RestoreSnapshot();
  void DrawCrossHair(int x, int y);
  // The date index under x, or 0 when no read-out box is to be drawn.
  int ReadoutIndex(int x) const;
  void PlaceBox(int index, int box_width, int box_top, int box_height);
  void FillBox(int index, int box_width, int box_top, int box_height);

  // Pixels per value unit; none when the value range cannot be scaled.
  std::optional<double> ValueScale() const;
  int ValueToY(double value, double scale) const;

  ChartLayout layout_;
  ReadoutTable readout_;
  std::unique_ptr<ui::Canvas> snapshot_;
};

}  // namespace chart
