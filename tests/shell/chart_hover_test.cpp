// Hovering over the main window's chart reads it out: the mouse-move event of the draw panel
// reaches the program's one line chart.

#include <gtest/gtest.h>

#include "app/app_fixture.h"
#include "chart/line_chart.h"
#include "shell/bind_events.h"
#include "support/recording_canvas.h"

namespace {

TEST(ShellChartHoverTest, MouseMoveOverChartDrawsCrossHairAndReadout) {
  app_test::AppFixture f;
  shell::Features features;
  shell::BindEvents(f.app, features);
  ui::DrawPanel& panel = f.app.main_window().画板1;
  panel.SetCanvas(std::make_unique<test_support::RecordingCanvas>(688, 320));
  auto& canvas = static_cast<test_support::RecordingCanvas&>(*panel.GetCanvas());

  chart::LineChart& chart = features.yield_chart->line_chart();
  chart.DrawChartFrame(canvas, "3|01||02||03||04|", "3|-3|12", "时间|涨跌（%）",
                       {"2021/08/01", "2021/08/02", "2021/08/03", "2021/08/04"});
  chart.DrawChartSeries({1.0f, 2.5f, -1.0f, 4.0f}, 3, ui::Rgb(255, 0, 0), "000001");
  canvas.ForgetCalls();

  panel.MouseMove(100, 150);
  EXPECT_EQ(1u, canvas.TextCalls("时间：2021/08/01").size());
  EXPECT_EQ(1u, canvas.TextCalls("000001：1").size());
  EXPECT_EQ(2u, canvas.Calls(test_support::CanvasOp::kLine).size());  // the cross-hair
}

}  // namespace
