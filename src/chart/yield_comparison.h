#pragma once

// The yield comparison on the main window's chart panel 画板1: the cumulative yield of the fund
// the user looks at (the first slot) and of the fund held for comparison (the second slot) over
// a period, fetched from the portal's compare service. The seven period buttons 按钮1…按钮7
// reload it and title it in 标签8.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "chart/line_chart.h"
#include "portal/yield_comparison.h"

namespace chart {

inline constexpr const char* kComparisonFailed = "坐标数据获取失败";

// The two slots a load draws; an empty code is an empty slot. The fund detail owns them.
struct ComparisonSlots {
  std::string first;
  std::string second;
};
// The slots as they are now.
using SlotsSource = std::function<ComparisonSlots()>;

// What one drawing put on the chart: its period key, the dates and each drawn series with its
// fund code, the first slot's first.
struct DrawnSeries {
  std::string code;
  std::vector<float> values;
};
struct DrawnComparison {
  std::string period;
  std::vector<std::string> dates;
  std::vector<DrawnSeries> series;
};
// Told each drawing, on the UI thread, after the picture is up.
using DrawnHook = std::function<void(const DrawnComparison&)>;

// What the comparison keeps between loads: the codes the compare service is asked for, set by
// each refresh after a detail load, and asked for again by the period buttons; and who is told
// what each drawing shows.
struct ComparisonState {
  std::string codes;
  DrawnHook on_drawn;
};

// What one answer gives the chart.
struct ComparisonData {
  std::vector<std::string> dates;    // full date texts, in answer order
  std::string x_spec;                // interval count, then "|day|" per date
  std::string y_spec;                // "9|min|max", whole numbers around every value
  std::vector<float> first_values;   // only when the first slot is set
  std::vector<float> second_values;  // only when the second slot is set
};

// The codes whose values the chart reads: the set slots, the first before the second.
std::vector<std::string> CodesToRead(const ComparisonSlots& slots);

// The chart's data from the days of a series cut for CodesToRead(slots). Nothing when there is
// nothing to draw: no day, or neither slot set.
std::optional<ComparisonData> ParseComparison(const portal::ComparisonSeries& series,
                                              const ComparisonSlots& slots);

// Draws the frame and the slots' series (the first in red, the second in RGB(192, 96, 0)).
void DrawComparison(LineChart& chart, ui::Canvas& panel, const ComparisonData& data,
                    const ComparisonSlots& slots);

// Fetches the period's series for `codes` (as they are, even empty) on a worker and draws
// `slots` as they were when the load started. On failure it says "坐标数据获取失败" and leaves
// the picture. `drawn` is told what a drawing shows; `ended` then runs on the UI thread, after a
// drawing or a failure alike; a load overtaken by a newer one of the chart writes nothing and
// neither runs.
void LoadComparisonChart(app::App& app, LineChart& chart, const std::string& codes,
                         const ComparisonSlots& slots, std::string_view period,
                         std::function<void()> ended = {}, DrawnHook drawn = {});

// After a detail load: the codes follow the slots (both codes, or the one that is set; kept
// when neither is), and a set slot loads the year's comparison. The title stays.
void RefreshComparisonChart(app::App& app, LineChart& chart, ComparisonState& state,
                            const ComparisonSlots& slots);

// Period button `n` (1…7): its period key and the title it gives 标签8.
struct ComparisonPeriod {
  const char* key;
  const char* title;
};
ComparisonPeriod PeriodOfButton(int n);

// Loads the button's period for the codes of the last refresh and draws the slots as they are
// now; titles the chart, also after a failed load; a load overtaken by a newer one leaves the
// title to that one.
void OnPeriodButton(app::App& app, LineChart& chart, const ComparisonState& state,
                    const ComparisonSlots& slots, int n);

// Attaches the seven period buttons; `chart` and `state` must outlive the App's windows.
void InstallYieldComparison(app::App& app, LineChart& chart, const ComparisonState& state,
                            const SlotsSource& slots);

}  // namespace chart
