#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/chart_geometry.h"
#include "chart/line_chart.h"
#include "support/recording_canvas.h"

namespace chart {
namespace {

using test_support::CanvasCall;
using test_support::CanvasOp;
using test_support::RecordingCanvas;

// The main window's chart panel: plot from x 40 to 588 and from y 60 down to 290.
constexpr int kWidth = 688;
constexpr int kHeight = 320;
const std::vector<std::string> kThreeDates = {"2021/08/01", "2021/08/02", "2021/08/03"};

std::vector<int> Corners(const CanvasCall& call) { return {call.x1, call.y1, call.x2, call.y2}; }

std::vector<CanvasCall> LinesIn(const RecordingCanvas& canvas, ui::Colour colour) {
  std::vector<CanvasCall> out;
  for (const CanvasCall& call : canvas.Calls(CanvasOp::kLine)) {
    if (call.state.pen_colour == colour) out.push_back(call);
  }
  return out;
}

std::vector<std::string> TextsAtY(const RecordingCanvas& canvas, int y) {
  std::vector<std::string> out;
  for (const CanvasCall& call : canvas.Calls(CanvasOp::kText)) {
    if (call.y1 == y) out.push_back(call.text);
  }
  return out;
}

TEST(LineChartFrame, ThreeDatesGiveFineGridDateLinesAndLabels) {
  RecordingCanvas panel(kWidth, kHeight);
  LineChart chart;
  chart.DrawChartFrame(panel, "2|a||b||c|", "9|-3|12", "时间|涨跌（%）", kThreeDates);

  EXPECT_EQ(40, chart.Layout().left);
  EXPECT_EQ(588, chart.Layout().right);
  EXPECT_EQ(290, chart.Layout().bottom);
  EXPECT_EQ(60, chart.Layout().top);
  EXPECT_EQ(2, chart.Layout().divisions);
  EXPECT_EQ(1, panel.Calls(CanvasOp::kClear).size());
  EXPECT_EQ(true, panel.state().retain);

  std::vector<CanvasCall> axes = LinesIn(panel, ui::Rgb(0, 0, 0));
  ASSERT_EQ(2u, axes.size());
  EXPECT_EQ((std::vector<int>{40, 290, 608, 290}), Corners(axes[0]));
  EXPECT_EQ((std::vector<int>{40, 290, 40, 50}), Corners(axes[1]));
  EXPECT_EQ(1, axes[0].state.pen_width);
  EXPECT_EQ(ui::PenStyle::kSolid, axes[0].state.pen_style);

  // 548 pixels in 8 steps of 68.5, truncated.
  std::vector<CanvasCall> fine = LinesIn(panel, ui::Rgb(224, 224, 224));
  std::vector<int> fine_x;
  for (const CanvasCall& line : fine) {
    fine_x.push_back(line.x1);
    EXPECT_EQ(line.x1, line.x2);
    EXPECT_EQ(289, line.y1);
    EXPECT_EQ(60, line.y2);
    EXPECT_EQ(ui::PenStyle::kDotted, line.state.pen_style);
    EXPECT_EQ(0, line.state.pen_width);
  }
  EXPECT_EQ((std::vector<int>{108, 177, 245, 314, 382, 451, 519, 588}), fine_x);

  std::vector<int> date_lines;
  for (const CanvasCall& line : LinesIn(panel, ui::Rgb(192, 192, 192))) {
    if (line.x1 == line.x2) date_lines.push_back(line.x1);
  }
  EXPECT_EQ((std::vector<int>{177, 314, 451, 588}), date_lines);

  // First label starts one pixel left of the axis, the others centred (6 pixels per byte).
  ASSERT_EQ(1u, panel.TextCalls("a").size());
  EXPECT_EQ(39, panel.TextCalls("a")[0].x1);
  EXPECT_EQ(293, panel.TextCalls("a")[0].y1);
  EXPECT_EQ(311, panel.TextCalls("b")[0].x1);
  EXPECT_EQ(585, panel.TextCalls("c")[0].x1);
  EXPECT_EQ(ui::Rgb(128, 128, 128), panel.TextCalls("c")[0].state.text_colour);
  EXPECT_EQ(9, panel.TextCalls("c")[0].state.font_size);
  // Empty pieces write nothing.
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), TextsAtY(panel, 293));

  ASSERT_EQ(1u, panel.TextCalls("时间").size());
  EXPECT_EQ(613, panel.TextCalls("时间")[0].x1);
  EXPECT_EQ(282, panel.TextCalls("时间")[0].y1);
  EXPECT_EQ(0u, panel.TextCalls("时间")[0].state.text_colour);
  ASSERT_EQ(1u, panel.TextCalls("涨跌（%）").size());
  EXPECT_EQ(30, panel.TextCalls("涨跌（%）")[0].x1);
  EXPECT_EQ(30, panel.TextCalls("涨跌（%）")[0].y1);

  const ReadoutTable& table = chart.Readout();
  EXPECT_EQ(1, table.RowCount());
  EXPECT_EQ(5, table.ColumnCount());
  EXPECT_EQ("时间", table.Cell(1, 1));
  EXPECT_EQ("0", table.Cell(1, 2));
  EXPECT_EQ("2021/08/03", table.Cell(1, 5));
  EXPECT_EQ(1, chart.Layout().row_count);
}

TEST(LineChartFrame, NegativeMinimumGivesSolidZeroLineAndWholeLabels) {
  RecordingCanvas panel(kWidth, kHeight);
  LineChart chart;
  chart.DrawChartFrame(panel, "2|a||b||c|", "9|-3|12", "时间|涨跌（%）", kThreeDates);
  EXPECT_EQ(-3.0f, chart.Layout().min_value);
  EXPECT_EQ(12.0f, chart.Layout().max_value);

  // Scale 230 / 15 pixels per unit: zero lies 46 pixels above the axis.
  std::vector<CanvasCall> solid;
  for (const CanvasCall& line : LinesIn(panel, ui::Rgb(192, 192, 192))) {
    if (line.state.pen_style == ui::PenStyle::kSolid) solid.push_back(line);
  }
  ASSERT_EQ(1u, solid.size());
  EXPECT_EQ((std::vector<int>{41, 244, 588, 244}), Corners(solid[0]));
  std::vector<CanvasCall> zero = panel.TextCalls("0");
  ASSERT_EQ(2u, zero.size());  // the value label of 0.33 and the zero line's own
  EXPECT_EQ(28, zero[1].x1);
  EXPECT_EQ(238, zero[1].y1);
  EXPECT_EQ(ui::Rgb(128, 128, 128), zero[1].state.text_colour);

  std::vector<std::string> labels;
  std::vector<int> label_y;
  for (const CanvasCall& call : panel.Calls(CanvasOp::kText)) {
    if (call.x1 + 6 * static_cast<int>(call.text.size()) + 2 == 40) {
      labels.push_back(call.text);
      label_y.push_back(call.y1);
    }
  }
  EXPECT_EQ((std::vector<std::string>{"-3", "-1", "0", "2", "4", "5", "7", "9", "10", "12"}),
            labels);
  EXPECT_EQ((std::vector<int>{283, 257, 231, 206, 180, 155, 129, 104, 78, 53}), label_y);
  // Every label but the lowest gets a dotted grid line across the plot.
  int value_lines = 0;
  for (const CanvasCall& line : LinesIn(panel, ui::Rgb(192, 192, 192))) {
    if (line.y1 == line.y2 && line.state.pen_style == ui::PenStyle::kDotted) ++value_lines;
  }
  EXPECT_EQ(9, value_lines);
}

std::vector<std::string> ValueLabels(const std::string& y_spec) {
  RecordingCanvas panel(kWidth, kHeight);
  LineChart chart;
  chart.DrawChartFrame(panel, "2|a||b||c|", y_spec, "时间|涨跌（%）", kThreeDates);
  std::vector<std::string> labels;
  for (const CanvasCall& call : panel.Calls(CanvasOp::kText)) {
    // Value labels end two pixels left of the axis.
    if (call.x1 + 6 * static_cast<int>(call.text.size()) + 2 == 40) labels.push_back(call.text);
  }
  return labels;
}

TEST(LineChartFrame, LabelsKeepTwoDecimalsOnlyWhenBothEndsAreFractional) {
  EXPECT_EQ((std::vector<std::string>{"1.5", "1.61", "1.72", "1.83", "1.94", "2.06", "2.17", "2.28",
                                      "2.39", "2.5"}),
            ValueLabels("9|1.5|2.5"));
  // Halves round away from zero: 1.5 gives 2 and 2.5 gives 3.
  EXPECT_EQ((std::vector<std::string>{"1", "1", "1", "2", "2", "2", "2", "2", "2", "3"}),
            ValueLabels("9|1|2.5"));
  // Listed labels: one per piece, at its own value; the full-width bar separates too.
  EXPECT_EQ((std::vector<std::string>{"0", "5", "10", "15"}), ValueLabels("0|5｜10|15"));

  EXPECT_EQ("-3", ValueLabel(-2.5, false));
  EXPECT_EQ("-1.24", ValueLabel(-1.235, true));
  EXPECT_EQ("0", ValueLabel(-0.4, false));
  EXPECT_EQ("0", ValueLabel(-0.001, true));
  EXPECT_EQ("3", ValueLabel(3.0, true));
}

TEST(LineChartFrame, TitlesAcceptFullWidthBarAndEmptyTitlesDisableReadout) {
  RecordingCanvas panel(kWidth, kHeight);
  LineChart chart;
  chart.DrawChartFrame(panel, "2|a||b||c|", "9|-3|12", "日期｜收益", kThreeDates);
  EXPECT_EQ(1u, panel.TextCalls("日期").size());
  EXPECT_EQ(1u, panel.TextCalls("收益").size());
  EXPECT_EQ("日期", chart.Readout().Cell(1, 1));

  chart.DrawChartFrame(panel, "2|a||b||c|", "9|-3|12", "时间|涨跌", kThreeDates,
                       FrameOptions{.readout_enabled = false});
  EXPECT_EQ("", chart.Readout().Cell(1, 1));
  EXPECT_EQ("2021/08/01", chart.Readout().Cell(1, 3));

  chart.DrawChartFrame(panel, "2|a||b||c|", "9|-3|12", "时间|涨跌", {});
  EXPECT_EQ("", chart.Readout().Cell(1, 1));
  EXPECT_EQ(2, chart.Readout().ColumnCount());
}

TEST(LineChartFrame, AdjustmentsMoveThePlotAndFactorsAddGridLines) {
  RecordingCanvas panel(kWidth, kHeight);
  LineChart chart;
  FrameOptions options{.left_adjust = 10,
                       .bottom_adjust = 20,
                       .right_adjust = 30,
                       .top_adjust = 5,
                       .vertical_subdivision = 1,
                       .horizontal_grid = 2};
  chart.DrawChartFrame(panel, "1|a||b|", "4|0|8", "时间|涨跌", {"1", "2"}, options);
  EXPECT_EQ(50, chart.Layout().left);
  EXPECT_EQ(558, chart.Layout().right);
  EXPECT_EQ(270, chart.Layout().bottom);
  EXPECT_EQ(65, chart.Layout().top);
  // Two label slots once each, and 4 divisions twice: 205 / 8 pixels apart from the axis up.
  std::vector<CanvasCall> fine = LinesIn(panel, ui::Rgb(224, 224, 224));
  ASSERT_EQ(2u + 8u, fine.size());
  EXPECT_EQ(304, fine[0].x1);
  EXPECT_EQ(558, fine[1].x1);
  EXPECT_EQ(51, fine[2].x1);
  EXPECT_EQ(244, fine[2].y1);
  EXPECT_EQ(65, fine[9].y1);
}

}  // namespace
}  // namespace chart
