#include "chart/yield_comparison.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "app/load.h"
#include "base/text.h"
#include "portal/yield_comparison.h"

namespace chart {

namespace {

constexpr ui::Colour kFirstColour = ui::Rgb(255, 0, 0);
constexpr ui::Colour kSecondColour = ui::Rgb(192, 96, 0);
constexpr int kSeriesPenWidth = 3;
constexpr int kValueDivisions = 9;
// Axis ends beyond this are cut to it: no yield comes near, and the ends stay integers.
constexpr double kAxisLimit = 1e9;

constexpr ComparisonPeriod kPeriods[] = {
    {"week", "近1周收益率走势对比图"},        {"month", "近1月收益率走势对比图"},
    {"threemonth", "近3月收益率走势对比图"},  {"sixmonth", "近6月收益率走势对比图"},
    {"year", "近1年收益率走势对比图"},        {"twoyear", "近2年收益率走势对比图"},
    {"threeyear", "近3年月收益率走势对比图"},
};

// A value as the 32-bit value the chart draws; out-of-range values stop at the float's
// largest value instead of overflowing.
float ReadValue(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<float>(
      std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

long long AxisEnd(double value) {
  return static_cast<long long>(std::clamp(value, -kAxisLimit, kAxisLimit));
}

// Lowest and highest value of one load.
struct ValueRange {
  double low = HUGE_VAL;
  double high = -HUGE_VAL;
  bool empty = true;
  void Add(float value) {
    low = std::min(low, static_cast<double>(value));
    high = std::max(high, static_cast<double>(value));
    empty = false;
  }
};

DrawnComparison DrawnOf(const ComparisonData& data, const ComparisonSlots& slots,
                        const std::string& period) {
  DrawnComparison drawn{period, data.dates, {}};
  if (!slots.first.empty()) drawn.series.push_back({slots.first, data.first_values});
  if (!slots.second.empty()) drawn.series.push_back({slots.second, data.second_values});
  return drawn;
}

}  // namespace

std::vector<std::string> CodesToRead(const ComparisonSlots& slots) {
  std::vector<std::string> codes;
  if (!slots.first.empty()) codes.push_back(slots.first);
  if (!slots.second.empty()) codes.push_back(slots.second);
  return codes;
}

std::optional<ComparisonData> ParseComparison(const portal::ComparisonSeries& series,
                                              const ComparisonSlots& slots) {
  const size_t read = CodesToRead(slots).size();
  ComparisonData data;
  ValueRange range;
  std::string labels;
  for (const portal::ComparisonPoint& point : series.points) {
    if (point.values.size() != read) return std::nullopt;  // cut for other slots
    size_t at = 0;
    if (!slots.first.empty()) {
      const float value = ReadValue(point.values[at++]);
      data.first_values.push_back(value);
      range.Add(value);
    }
    if (!slots.second.empty()) {
      const float value = ReadValue(point.values[at++]);
      data.second_values.push_back(value);
      range.Add(value);
    }
    labels += "|" + base::TextRightOfLast(point.date, "/") + "|";
    data.dates.push_back(point.date);
  }
  // No record or no slot leaves no range to scale the chart by: nothing can be drawn.
  if (range.empty) return std::nullopt;
  data.x_spec = base::IntToText(static_cast<long long>(data.dates.size()) - 1) + labels;
  // Whole numbers outside the values, so that every point lies inside the frame.
  data.y_spec = base::IntToText(kValueDivisions) + "|" +
                base::IntToText(AxisEnd(std::floor(range.low))) + "|" +
                base::IntToText(AxisEnd(std::ceil(range.high)));
  return data;
}

void DrawComparison(LineChart& chart, ui::Canvas& panel, const ComparisonData& data,
                    const ComparisonSlots& slots) {
  FrameOptions options;
  options.vertical_subdivision = 2;
  options.horizontal_grid = 0;
  options.readout_enabled = true;
  chart.DrawChartFrame(panel, data.x_spec, data.y_spec, "时间|涨跌（%）", data.dates, options);
  // The first fund first: the order fixes the read-out rows and the legend places.
  if (!slots.first.empty()) {
    chart.DrawChartSeries(data.first_values, kSeriesPenWidth, kFirstColour, slots.first);
  }
  if (!slots.second.empty()) {
    chart.DrawChartSeries(data.second_values, kSeriesPenWidth, kSecondColour, slots.second);
  }
}

void LoadComparisonChart(app::App& app, LineChart& chart, const std::string& codes,
                         const ComparisonSlots& slots, std::string_view period,
                         std::function<void()> ended, DrawnHook drawn) {
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kComparisonChart);
  app::StartLoad(
      app, ticket,
      [&app, codes, period = std::string(period), slots] {
        const std::optional<portal::ComparisonSeries> series = portal::FetchComparisonSeries(
            app.portal(), codes, period, CodesToRead(slots), &app.transfers());
        if (!series) return std::optional<ComparisonData>();
        return ParseComparison(*series, slots);
      },
      [&app, &chart, slots, period = std::string(period), ended = std::move(ended),
       drawn = std::move(drawn)](const std::optional<ComparisonData>& data) {
        if (!data) {
          app.dialogs().MessageBox(kComparisonFailed);
        } else {
          ui::DrawPanel& panel = app.main_window().画板1;
          if (ui::Canvas* canvas = panel.GetCanvas()) {
            DrawComparison(chart, *canvas, *data, slots);
            panel.Refresh();
          }
          if (drawn) drawn(DrawnOf(*data, slots, period));
        }
        if (ended) ended();
      });
}

void RefreshComparisonChart(app::App& app, LineChart& chart, ComparisonState& state,
                            const ComparisonSlots& slots) {
  const std::string& first = slots.first;
  const std::string& second = slots.second;
  if (!first.empty()) {
    state.codes = second.empty() ? first : first + "," + second;
  } else if (!second.empty()) {
    state.codes = second;
  } else {
    return;
  }
  LoadComparisonChart(app, chart, state.codes, slots, "year", {}, state.on_drawn);
}

ComparisonPeriod PeriodOfButton(int n) { return kPeriods[std::clamp(n, 1, 7) - 1]; }

void OnPeriodButton(app::App& app, LineChart& chart, const ComparisonState& state,
                    const ComparisonSlots& slots, int n) {
  const ComparisonPeriod period = PeriodOfButton(n);
  LoadComparisonChart(
      app, chart, state.codes, slots, period.key,
      [&app, title = period.title] { app.main_window().标签8.SetCaption(title); }, state.on_drawn);
}

void InstallYieldComparison(app::App& app, LineChart& chart, const ComparisonState& state,
                            const SlotsSource& slots) {
  for (int n = 1; n <= 7; ++n) {
    app.main_window().PeriodButton(n)->on_click = [&app, &chart, &state, slots, n] {
      OnPeriodButton(app, chart, state, slots(), n);
    };
  }
}

}  // namespace chart
