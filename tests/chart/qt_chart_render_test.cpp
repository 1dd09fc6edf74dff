// The chart drawn on the Qt canvas: pictures are saved beside this test's build files for a
// look by eye, and the cursor's inverted lines must leave no trace once erased.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <string>
#include <vector>

#include "chart/line_chart.h"
#include "ui/qt/qt_canvas.h"

namespace chart {
namespace {

constexpr int kDays = 12;

std::string OutputPath(const std::string& name) {
  return std::string(FUNDVIEW_TEST_OUTPUT_DIR) + "/" + name;
}

// What the main window shows for two funds over twelve trading days.
void DrawComparison(LineChart& chart, ui::QtCanvas& panel, bool readout = true) {
  std::vector<std::string> dates;
  std::string x_spec = std::to_string(kDays - 1);
  std::vector<float> first;
  std::vector<float> second;
  const float first_values[kDays] = {0.0f, 1.2f, -0.8f, -2.9f, -1.5f, 2.4f,
                                     4.1f, 3.3f, 6.8f,  9.5f,  8.2f,  11.7f};
  const float second_values[kDays] = {0.0f, 0.4f, 0.9f, 1.1f, 0.2f, -0.6f,
                                      0.8f, 2.2f, 3.0f, 2.6f, 4.4f, 5.1f};
  for (int i = 0; i < kDays; ++i) {
    std::string day = (i + 2 < 10 ? "0" : "") + std::to_string(i + 2);
    dates.push_back("2021/08/" + day);
    x_spec += "|" + day + "|";
    first.push_back(first_values[i]);
    second.push_back(second_values[i]);
  }
  chart.DrawChartFrame(panel, x_spec, "9|-2|11", "时间|涨跌（%）", dates,
                       FrameOptions{.readout_enabled = readout});
  chart.DrawChartSeries(first, 3, ui::Rgb(255, 0, 0), "005669");
  chart.DrawChartSeries(second, 3, ui::Rgb(192, 96, 0), "005939");
}

bool IsBlank(const QImage& image, int x1, int y1, int x2, int y2) {
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    }
  }
  return true;
}

int CountPixels(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour;
  }
  return count;
}

TEST(QtChartRender, TwoFundChartReadsAsAChart) {
  ui::QtCanvas panel(688, 320);
  LineChart chart;
  DrawComparison(chart, panel);
  const QImage& image = panel.image();
  ASSERT_EQ(true, image.save(QString::fromStdString(OutputPath("chart.png"))));

  EXPECT_EQ(qRgb(0, 0, 0), image.pixel(300, 290));  // x-axis
  EXPECT_EQ(qRgb(0, 0, 0), image.pixel(40, 100));   // y-axis
  // Both funds start on the value 0 at the left end of the plot, the second drawn last.
  int zero_y = 290 - static_cast<int>(230.0 / 13.0 * 2.0);
  EXPECT_EQ(qRgb(192, 96, 0), image.pixel(41, zero_y - 1));
  // Each series is a wide unbroken line: hundreds of pixels in its colour.
  EXPECT_LT(1500, CountPixels(image, qRgb(255, 0, 0)));
  EXPECT_LT(1000, CountPixels(image, qRgb(192, 96, 0)));
  // Legend swatches in the series colours.
  EXPECT_EQ(qRgb(255, 0, 0), image.pixel(603, 61));
  EXPECT_EQ(qRgb(192, 96, 0), image.pixel(603, 79));
  // Text was written: the titles and the legend names are not blank.
  EXPECT_EQ(false, IsBlank(image, 613, 282, 640, 296));
  EXPECT_EQ(false, IsBlank(image, 30, 30, 80, 44));
  EXPECT_EQ(false, IsBlank(image, 613, 54, 660, 66));
}

TEST(QtChartRender, ErasedCrossHairLeavesPictureUntouched) {
  ui::QtCanvas panel(688, 320);
  LineChart chart;
  DrawComparison(chart, panel);
  const QImage snapshot = panel.image().copy();
  ASSERT_EQ(snapshot, dynamic_cast<const ui::QtCanvas&>(*chart.Snapshot()).image());

  // Places the box (which copies the snapshot back), then moves within one date.
  chart.TrackChartCursor(400, 70);
  chart.TrackChartCursor(405, 75);
  const QImage with_cross_hair = panel.image().copy();
  EXPECT_NE(snapshot, with_cross_hair);
  chart.TrackChartCursor(410, 150);
  chart.TrackChartCursor(405, 75);
  EXPECT_EQ(with_cross_hair, panel.image());
  ASSERT_EQ(true, panel.image().save(QString::fromStdString(OutputPath("chart_readout.png"))));
  chart.TrackChartCursor(650, 150);  // out of the plot
  EXPECT_EQ(snapshot, panel.image());

  // Without the read-out box, inverting alone must erase every cross-hair.
  ui::QtCanvas plain(688, 320);
  LineChart bare;
  DrawComparison(bare, plain, false);
  const QImage bare_snapshot = plain.image().copy();
  bare.TrackChartCursor(200, 200);
  const QImage first = plain.image().copy();
  EXPECT_NE(bare_snapshot, first);
  for (int x = 60; x < 600; x += 37) bare.TrackChartCursor(x, 40 + x / 3);
  bare.TrackChartCursor(200, 200);
  EXPECT_EQ(first, plain.image());
}

TEST(QtCanvas, PensTextAndInvertMode) {
  ui::QtCanvas canvas(100, 60);
  int changes = 0;
  canvas.SetOnChanged([&changes] { ++changes; });
  canvas.SetPenColour(ui::Rgb(0, 0, 255));
  canvas.SetPenWidth(0);
  canvas.SetPenStyle(ui::PenStyle::kDotted);
  canvas.Line(0, 10, 40, 10);
  int drawn = 0;
  for (int x = 0; x < 40; ++x) drawn += canvas.image().pixel(x, 10) == qRgb(0, 0, 255);
  EXPECT_LT(5, drawn);
  EXPECT_GT(30, drawn);                                        // dotted, not solid
  EXPECT_EQ(qRgb(255, 255, 255), canvas.image().pixel(0, 9));  // one pixel thin
  EXPECT_EQ(1, changes);

  canvas.SetPenWidth(3);  // wide pens are never dotted
  canvas.Line(0, 30, 40, 30);
  for (int x = 2; x < 38; ++x) EXPECT_EQ(qRgb(0, 0, 255), canvas.image().pixel(x, 30)) << x;

  canvas.SetBrushColour(ui::Rgb(0, 128, 0));
  canvas.FillRectangle(50, 40, 60, 50);
  EXPECT_EQ(qRgb(0, 128, 0), canvas.image().pixel(50, 40));
  EXPECT_EQ(qRgb(0, 128, 0), canvas.image().pixel(59, 49));
  EXPECT_EQ(qRgb(255, 255, 255), canvas.image().pixel(60, 50));

  // Text hangs below its point.
  canvas.SetTextColour(ui::Rgb(0, 0, 0));
  canvas.SetFontSize(9);
  canvas.Text(60, 5, "测试");
  EXPECT_EQ(true, IsBlank(canvas.image(), 55, 0, 99, 4));
  EXPECT_EQ(false, IsBlank(canvas.image(), 60, 5, 99, 20));

  QImage before = canvas.image().copy();
  canvas.SetDrawMode(ui::DrawMode::kInvert);
  canvas.SetPenWidth(1);
  canvas.Line(0, 0, 99, 59);
  canvas.Line(0, 30, 99, 30);
  // White exclusive-or turns the blue wide line yellow where the dots fall.
  EXPECT_NE(before, canvas.image());
  EXPECT_LT(5, CountPixels(canvas.image(), qRgb(255, 255, 0)));
  canvas.Line(0, 30, 99, 30);
  canvas.Line(0, 0, 99, 59);
  EXPECT_EQ(before, canvas.image());

  canvas.SetDrawMode(ui::DrawMode::kNormal);
  std::unique_ptr<ui::Canvas> copy = canvas.CreateLike();
  EXPECT_EQ(100, copy->Width());
  EXPECT_EQ(60, copy->Height());
  EXPECT_EQ(true, IsBlank(dynamic_cast<ui::QtCanvas&>(*copy).image(), 0, 0, 99, 59));
  canvas.CopyTo(*copy);
  EXPECT_EQ(canvas.image(), dynamic_cast<ui::QtCanvas&>(*copy).image());
  canvas.Clear();
  EXPECT_EQ(true, IsBlank(canvas.image(), 0, 0, 99, 59));
}

}  // namespace
}  // namespace chart

int main(int argc, char** argv) {
  // Test discovery runs this program without the test environment, and no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
