#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "chart/line_chart.h"
#include "support/recording_canvas.h"

namespace chart {
namespace {

using test_support::CanvasCall;
using test_support::CanvasOp;
using test_support::RecordingCanvas;

constexpr ui::Colour kRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kSecond = ui::Rgb(192, 96, 0);

std::vector<std::string> Dates(int count) {
  std::vector<std::string> dates;
  for (int day = 1; day <= count; ++day) dates.push_back("2021/08/0" + std::to_string(day));
  return dates;
}

// The x axis text the yield comparison builds: interval count, then "|dd|" per date.
std::string XSpec(int count) {
  std::string spec = std::to_string(count - 1);
  for (int day = 1; day <= count; ++day) spec += "|0" + std::to_string(day) + "|";
  return spec;
}

std::vector<int> Corners(const CanvasCall& call) { return {call.x1, call.y1, call.x2, call.y2}; }

const RecordingCanvas& SnapshotOf(const LineChart& chart) {
  return dynamic_cast<const RecordingCanvas&>(*chart.Snapshot());
}

// A 688 x 320 panel with a two-fund chart over `days` dates, values -3 ... 12.
void DrawTwoFunds(LineChart& chart, RecordingCanvas& panel, int days,
                  const std::string& first = "005669", const std::string& second = "005939") {
  std::vector<float> a;
  std::vector<float> b;
  for (int i = 0; i < days; ++i) {
    a.push_back(-3.0f + 15.0f * static_cast<float>(i) / static_cast<float>(days - 1));
    b.push_back(1.25f * static_cast<float>(i));
  }
  chart.DrawChartFrame(panel, XSpec(days), "9|-3|12", "时间|涨跌（%）", Dates(days));
  chart.DrawChartSeries(a, 3, kRed, first);
  chart.DrawChartSeries(b, 3, kSecond, second);
}

TEST(LineChartSeries, PolylineLegendReadoutAndSnapshot) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  chart.DrawChartFrame(panel, "2|a||b||c|", "9|-3|12", "时间|涨跌（%）", Dates(3));
  EXPECT_EQ(nullptr, chart.Snapshot());
  panel.ForgetCalls();
  chart.DrawChartSeries({-3.0f, 12.0f, 4.5f}, 3, kRed, "005669");

  std::vector<CanvasCall> lines = panel.Calls(CanvasOp::kLine);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ((std::vector<int>{40, 290, 314, 60}), Corners(lines[0]));
  EXPECT_EQ((std::vector<int>{314, 60, 588, 175}), Corners(lines[1]));
  EXPECT_EQ(3, lines[0].state.pen_width);
  EXPECT_EQ(kRed, lines[0].state.pen_colour);
  // The zero line left the pen solid.
  EXPECT_EQ(ui::PenStyle::kSolid, lines[0].state.pen_style);

  std::vector<CanvasCall> boxes = panel.Calls(CanvasOp::kRectangle);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ((std::vector<int>{598, 60, 608, 63}), Corners(boxes[0]));
  ASSERT_EQ(1u, panel.TextCalls("005669").size());
  EXPECT_EQ(613, panel.TextCalls("005669")[0].x1);
  EXPECT_EQ(54, panel.TextCalls("005669")[0].y1);
  EXPECT_EQ(kRed, panel.TextCalls("005669")[0].state.text_colour);

  // The second legend entry sits 18 pixels lower; a longer series widens the table.
  chart.DrawChartSeries({0.0f, 1.234567f, 2.0f, 5.0f}, 3, kSecond, "005939");
  boxes = panel.Calls(CanvasOp::kRectangle);
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ(78, boxes[1].y1);
  EXPECT_EQ(81, boxes[1].y2);
  EXPECT_EQ(72, panel.TextCalls("005939")[0].y1);

  const ReadoutTable& table = chart.Readout();
  EXPECT_EQ(3, chart.Layout().row_count);
  EXPECT_EQ(3, table.RowCount());
  EXPECT_EQ(6, table.ColumnCount());
  EXPECT_EQ("2021/08/03", table.Cell(1, 5));
  EXPECT_EQ("", table.Cell(1, 6));
  EXPECT_EQ((std::vector<std::string>{"005669", "255", "-3", "12", "4.5", ""}),
            (std::vector<std::string>{table.Cell(2, 1), table.Cell(2, 2), table.Cell(2, 3),
                                      table.Cell(2, 4), table.Cell(2, 5), table.Cell(2, 6)}));
  EXPECT_EQ("24768", table.Cell(3, 2));
  EXPECT_EQ("1.23457", table.Cell(3, 4));
  EXPECT_EQ("5", table.Cell(3, 6));

  ASSERT_NE(nullptr, chart.Snapshot());
  EXPECT_EQ(true, SnapshotOf(chart).state().retain);
  EXPECT_EQ(panel.picture(), SnapshotOf(chart).picture());
}

TEST(LineChartCursor, MouseLeftOfAxisReadsFirstDateInBoxAwayFromMouse) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  DrawTwoFunds(chart, panel, 7);
  const std::vector<CanvasCall> chart_picture = panel.picture();
  panel.ForgetCalls();

  chart.TrackChartCursor(35, 150);
  std::vector<CanvasCall> lines = panel.Calls(CanvasOp::kLine);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ((std::vector<int>{40, 150, 608, 150}), Corners(lines[0]));
  EXPECT_EQ((std::vector<int>{35, 290, 35, 30}), Corners(lines[1]));
  EXPECT_EQ(ui::DrawMode::kInvert, lines[1].state.mode);
  EXPECT_EQ(ui::PenStyle::kDotted, lines[1].state.pen_style);
  EXPECT_EQ(1, lines[1].state.pen_width);
  EXPECT_EQ(ui::DrawMode::kNormal, panel.GetDrawMode());

  // Index 1 lies in the left half, so the box goes right: 588 - 126 - 10.
  EXPECT_EQ(1, chart.Layout().last_index);
  EXPECT_EQ(452, chart.Layout().box_x);
  std::vector<CanvasCall> outline = panel.Calls(CanvasOp::kRectangle);
  ASSERT_EQ(1u, outline.size());
  EXPECT_EQ((std::vector<int>{452, 40, 578, 91}), Corners(outline[0]));
  EXPECT_EQ(ui::Rgb(96, 96, 96), outline[0].state.pen_colour);
  EXPECT_EQ(ui::PenStyle::kSolid, outline[0].state.pen_style);
  std::vector<CanvasCall> fill = panel.Calls(CanvasOp::kFillRectangle);
  ASSERT_EQ(1u, fill.size());
  EXPECT_EQ((std::vector<int>{454, 42, 576, 89}), Corners(fill[0]));
  EXPECT_EQ(ui::Rgb(192, 192, 192), fill[0].state.brush_colour);

  std::vector<CanvasCall> texts = panel.Calls(CanvasOp::kText);
  ASSERT_EQ(3u, texts.size());
  EXPECT_EQ("时间：2021/08/01", texts[0].text);
  EXPECT_EQ("005669：-3", texts[1].text);
  EXPECT_EQ("005939：0", texts[2].text);
  EXPECT_EQ((std::vector<int>{457, 45, 457, 60, 457, 75}),
            (std::vector<int>{texts[0].x1, texts[0].y1, texts[1].x1, texts[1].y1, texts[2].x1,
                              texts[2].y1}));
  EXPECT_EQ((std::vector<ui::Colour>{0, kRed, kSecond}),
            (std::vector<ui::Colour>{texts[0].state.text_colour, texts[1].state.text_colour,
                                     texts[2].state.text_colour}));

  // Moving the box copied the snapshot back, which also took the fresh cross-hair away.
  EXPECT_EQ(0, chart.Layout().last_x);
  EXPECT_EQ(chart_picture.size() + 5, panel.picture().size());

  // Within the same date only the cross-hair moves; the old one is inverted away.
  panel.ForgetCalls();
  chart.TrackChartCursor(45, 150);
  chart.TrackChartCursor(50, 160);
  EXPECT_EQ(0u, panel.Calls(CanvasOp::kText).size());
  ASSERT_EQ(chart_picture.size() + 7, panel.picture().size());
  EXPECT_EQ(160, panel.picture()[chart_picture.size() + 5].y1);
  EXPECT_EQ(50, panel.picture()[chart_picture.size() + 6].x1);

  // The last date, near the right end: the box jumps to the left.
  chart.TrackChartCursor(600, 150);
  EXPECT_EQ(7, chart.Layout().last_index);
  EXPECT_EQ(50, chart.Layout().box_x);
  ASSERT_EQ(1u, panel.TextCalls("时间：2021/08/07").size());
  EXPECT_EQ(55, panel.TextCalls("时间：2021/08/07")[0].x1);
  EXPECT_EQ(1u, panel.TextCalls("005669：12").size());
}

TEST(LineChartCursor, LeavingPlotRestoresSnapshotAndNextEntryPlacesBoxAfresh) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  DrawTwoFunds(chart, panel, 7);
  const std::vector<CanvasCall> chart_picture = panel.picture();

  chart.TrackChartCursor(500, 150);
  EXPECT_NE(chart_picture, panel.picture());
  chart.TrackChartCursor(29, 150);  // more than 10 pixels left of the axis
  EXPECT_EQ(chart_picture, panel.picture());
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0}),
            (std::vector<int>{chart.Layout().last_x, chart.Layout().last_y, chart.Layout().box_x,
                              chart.Layout().last_index}));

  // Back at the same date: the box is drawn again instead of being taken as shown.
  panel.ForgetCalls();
  chart.TrackChartCursor(500, 150);
  EXPECT_EQ(1u, panel.Calls(CanvasOp::kFillRectangle).size());

  // The tolerances: 10 left, 20 right, 20 above and 10 below the plot.
  struct Probe {
    int x, y;
    bool inside;
  };
  for (Probe probe : {Probe{30, 150, true}, Probe{29, 150, false}, Probe{608, 150, true},
                      Probe{609, 150, false}, Probe{300, 40, true}, Probe{300, 39, false},
                      Probe{300, 300, true}, Probe{300, 301, false}}) {
    chart.TrackChartCursor(probe.x, probe.y);
    EXPECT_EQ(probe.inside, panel.picture() != chart_picture) << probe.x << "," << probe.y;
    chart.TrackChartCursor(0, 0);
  }
}

TEST(LineChartCursor, TwoDatesGiveCrossHairWithoutBox) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  DrawTwoFunds(chart, panel, 2);
  EXPECT_EQ(4, chart.Readout().ColumnCount());
  panel.ForgetCalls();
  chart.TrackChartCursor(200, 150);
  chart.TrackChartCursor(400, 100);
  EXPECT_EQ(6u, panel.Calls(CanvasOp::kLine).size());
  EXPECT_EQ(0u, panel.Calls(CanvasOp::kText).size());
  EXPECT_EQ(0u, panel.Calls(CanvasOp::kFillRectangle).size());
  EXPECT_EQ(0u, panel.Calls(CanvasOp::kRectangle).size());
  EXPECT_EQ(0, chart.Layout().last_index);
  EXPECT_EQ(SnapshotOf(chart).picture().size() + 2, panel.picture().size());
}

TEST(LineChartCursor, LongNamesAreCutInBoxAtCharacterBoundaryButWholeInLegend) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  DrawTwoFunds(chart, panel, 7, "ABCDEFGHIJ", "A易方达蓝筹");
  EXPECT_EQ(1u, panel.TextCalls("ABCDEFGHIJ").size());
  EXPECT_EQ(1u, panel.TextCalls("A易方达蓝筹").size());
  chart.TrackChartCursor(400, 150);  // date 4
  EXPECT_EQ(1u, panel.TextCalls("ABCDEFGH：4.5").size());
  // "A" and three Chinese characters are 7 bytes; the fourth would need 9.
  EXPECT_EQ(1u, panel.TextCalls("A易方达：3.75").size());

  LineChart other;
  DrawTwoFunds(other, panel, 7, "易方达蓝筹精选", "12345678");
  other.TrackChartCursor(400, 150);
  EXPECT_EQ(1u, panel.TextCalls("易方达蓝：4.5").size());
  EXPECT_EQ(1u, panel.TextCalls("12345678：3.75").size());
}

TEST(LineChartCursor, NothingHappensBeforeASeriesWasDrawn) {
  LineChart chart;
  chart.TrackChartCursor(100, 100);
  EXPECT_EQ(nullptr, chart.Layout().panel);

  RecordingCanvas panel(688, 320);
  chart.DrawChartFrame(panel, XSpec(7), "9|-3|12", "时间|涨跌（%）", Dates(7));
  panel.ForgetCalls();
  chart.TrackChartCursor(100, 100);
  EXPECT_EQ(0u, panel.calls().size());
}

TEST(LineChartCursor, NewFrameClearsSnapshotAndForgetsCursor) {
  RecordingCanvas panel(688, 320);
  LineChart chart;
  DrawTwoFunds(chart, panel, 7);
  chart.TrackChartCursor(300, 150);
  EXPECT_NE(0, chart.Layout().box_x);
  panel.ForgetCalls();
  chart.DrawChartFrame(panel, XSpec(3), "9|0|5", "时间|涨跌（%）", Dates(3));
  EXPECT_EQ(0u, SnapshotOf(chart).picture().size());
  EXPECT_EQ(0, chart.Layout().box_x);
  EXPECT_EQ(0, chart.Layout().last_index);
  EXPECT_EQ(1, chart.Layout().row_count);
  EXPECT_EQ(0u, panel.TextCalls("005669").size());
  EXPECT_EQ(1u, panel.Calls(CanvasOp::kCopyFrom).size());
}

}  // namespace
}  // namespace chart
