// Inputs the chart cannot scale: it draws the frame and whatever can be placed, never a
// coordinate computed from a division by zero or from a value that is not a number.

#include <gtest/gtest.h>

#include <limits>
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

constexpr ui::Colour kRed = ui::Rgb(255, 0, 0);
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
const std::vector<std::string> kThreeDates = {"2021/08/01", "2021/08/02", "2021/08/03"};

// Every line lies on the panel or within a panel's size of it.
void ExpectLinesNearPanel(const RecordingCanvas& panel) {
  for (const CanvasCall& line : panel.Calls(CanvasOp::kLine)) {
    for (int v : {line.x1, line.y1, line.x2, line.y2}) {
      EXPECT_LE(-700, v);
      EXPECT_GE(1400, v);
    }
  }
}

std::vector<CanvasCall> SeriesLines(const RecordingCanvas& panel) {
  std::vector<CanvasCall> out;
  for (const CanvasCall& line : panel.Calls(CanvasOp::kLine)) {
    if (line.state.pen_colour == kRed) out.push_back(line);
  }
  return out;
}

TEST(LineChartDegenerate, EqualMinimumAndMaximumWidenByOneUnitEachWay) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  // A week of yields all between 0 and 1 percent: every truncated value is 0.
  chart.DrawChartFrame(panel, "2|a||b||c|", "9|0|0", "时间|涨跌（%）", kThreeDates);
  EXPECT_EQ(-1.0f, chart.Layout().min_value);
  EXPECT_EQ(1.0f, chart.Layout().max_value);
  // Labels -1 ... 1 (no "-0" among them) and the solid zero line through the middle.
  EXPECT_EQ(0u, panel.TextCalls("-0").size());
  EXPECT_EQ(5u, panel.TextCalls("0").size());
  std::vector<int> solid_y;
  for (const CanvasCall& line : panel.Calls(CanvasOp::kLine)) {
    if (line.state.pen_style == ui::PenStyle::kSolid && line.x1 == 41) solid_y.push_back(line.y1);
  }
  EXPECT_EQ((std::vector<int>{175}), solid_y);
  panel.ForgetCalls();
  chart.DrawChartSeries({0.2f, 0.5f, -0.5f}, 3, kRed, "000001");
  std::vector<CanvasCall> lines = SeriesLines(panel);
  ASSERT_EQ(2u, lines.size());
  // 115 pixels per unit around the middle line at 175; 0.2f lies a hair above 0.2.
  EXPECT_EQ((std::vector<int>{151, 117, 117, 232}),
            (std::vector<int>{lines[0].y1, lines[0].y2, lines[1].y1, lines[1].y2}));
}

TEST(LineChartDegenerate, NoDivisionsOrNoDatesDrawFrameAndLegendWithoutSeriesLines) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  chart.DrawChartFrame(panel, "0|01|", "9|-3|12", "时间|涨跌（%）", {"2021/08/01"});
  EXPECT_EQ(0, chart.Layout().divisions);
  EXPECT_EQ(1u, panel.TextCalls("01").size());
  EXPECT_EQ(39, panel.TextCalls("01")[0].x1);
  chart.DrawChartSeries({1.0f, 2.0f}, 3, kRed, "000001");
  EXPECT_EQ(0u, SeriesLines(panel).size());
  EXPECT_EQ(1u, panel.TextCalls("000001").size());
  panel.ForgetCalls();
  chart.TrackChartCursor(300, 150);  // one date: a cross-hair, no box
  EXPECT_EQ(2u, panel.Calls(CanvasOp::kLine).size());
  EXPECT_EQ(0u, panel.Calls(CanvasOp::kText).size());

  RecordingCanvas blank(688, 320);
  LineChart empty;
  empty.DrawChartFrame(blank, "", "", "", {});
  EXPECT_EQ(2u, blank.Calls(CanvasOp::kLine).size());  // the two axes
  EXPECT_EQ(0u, blank.Calls(CanvasOp::kText).size());
  empty.DrawChartSeries({1.0f, 2.0f, 3.0f}, 3, kRed, "000001");
  EXPECT_EQ(0u, SeriesLines(blank).size());
  empty.TrackChartCursor(300, 150);
  EXPECT_EQ(0, empty.Layout().box_x);
  ExpectLinesNearPanel(blank);

  // Too narrow a panel to have a plot at all.
  RecordingCanvas narrow(140, 90);
  LineChart squeezed;
  squeezed.DrawChartFrame(narrow, "2|a||b||c|", "9|-3|12", "时间|涨跌（%）", kThreeDates);
  squeezed.DrawChartSeries({1.0f, 2.0f, 3.0f}, 3, kRed, "000001");
  squeezed.TrackChartCursor(40, 50);
  ExpectLinesNearPanel(narrow);
}

TEST(LineChartDegenerate, ValuesThatAreNotNumbersBreakTheLine) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  chart.DrawChartFrame(panel, "4|a||b||c||d||e|", "9|-3|12", "时间|涨跌（%）",
                       {"1", "2", "3", "4", "5"});
  chart.DrawChartSeries({1.0f, kNan, 3.0f, 4.0f, kInf}, 3, kRed, "000001");
  std::vector<CanvasCall> lines = SeriesLines(panel);
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(314, lines[0].x1);
  EXPECT_EQ(451, lines[0].x2);
  EXPECT_EQ("nan", chart.Readout().Cell(2, 4));
}

TEST(LineChartDegenerate, UnusableValueRangesDrawNoLabelsAndNoSeries) {
  for (const char* y_spec : {"9|-1e999|5", "9|1e30|1e30", "0|1|5", "99999999|0|5", "-2|0|5"}) {
    RecordingCanvas panel(688, 320);
    LineChart chart;
    chart.DrawChartFrame(panel, "2|a||b||c|", y_spec, "", kThreeDates);
    // Only the date labels remain.
    EXPECT_EQ(3u, panel.Calls(CanvasOp::kText).size()) << y_spec;
    chart.DrawChartSeries({1.0f, 2.0f, 3.0f}, 3, kRed, "");
    if (std::string(y_spec).find('e') != std::string::npos) {
      EXPECT_EQ(0u, SeriesLines(panel).size()) << y_spec;
    }
    ExpectLinesNearPanel(panel);
  }
}

TEST(LineChartDegenerate, WildValuesStayWithinThePixelLimit) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  chart.DrawChartFrame(panel, "2|a||b||c|", "9|0|1", "", kThreeDates);
  chart.DrawChartSeries({0.5f, 3e38f, -3e38f}, 3, kRed, "");
  std::vector<CanvasCall> lines = SeriesLines(panel);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(-kPixelLimit, lines[0].y2);
  EXPECT_EQ(kPixelLimit, lines[1].y2);
}

}  // namespace
}  // namespace chart
