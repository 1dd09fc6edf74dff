#pragma once

// The yield comparison on the main window's chart panel 画板1: the cumulative yield of the fund
// the user looks at (the first slot, CurrentFundCode) and of the fund held for comparison (the
// second slot, ComparedFundCode) over a period, fetched from the portal's compare service. The
// seven period buttons 按钮1…按钮7 reload it and title it in 标签8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "chart/line_chart.h"

namespace chart {

inline constexpr const char* kComparisonFailed = "坐标数据获取失败";

// The two slots a load draws; an empty code is an empty slot.
struct ComparisonSlots {
  std::string first;
  std::string second;
};

// What one answer gives the chart.
struct ComparisonData {
  std::vector<std::string> dates;    // full date texts, in answer order
  std::string x_spec;                // interval count, then "|day|" per date
  std::string y_spec;                // "9|min|max", whole numbers around every value
  std::vector<float> first_values;   // only when the first slot is set
  std::vector<float> second_values;  // only when the second slot is set
};

// The records of `series` (portal::CutComparisonSeries), cut for the slots. Nothing when there is
// nothing to draw: no record, or neither slot set. A value text without a number counts as 0.
std::optional<ComparisonData> ParseComparison(std::string_view series,
                                              const ComparisonSlots& slots);

// Draws the frame and the slots' series (the first in red, the second in RGB(192, 96, 0)).
void DrawComparison(LineChart& chart, ui::Canvas& panel, const ComparisonData& data,
                    const ComparisonSlots& slots);

enum class ComparisonLoad {
  kDrawn,
  kFailed,     // the answer gave nothing to draw; the user was told so
  kOvertaken,  // a newer load of the chart started meanwhile; nothing was written
};

// Fetches the period's series for ComparisonCodes (as it is, even empty) and draws the slots as
// they are when the load starts. On failure it says "坐标数据获取失败" and leaves the picture.
ComparisonLoad LoadComparisonChart(app::App& app, LineChart& chart, std::string_view period);

// After a detail load: ComparisonCodes follows the slots (both codes, or the one that is set;
// kept when neither is), and a set slot loads the year's comparison. The title stays.
void RefreshComparisonChart(app::App& app, LineChart& chart);

// Period button `n` (1…7): its period key and the title it gives 标签8.
struct ComparisonPeriod {
  const char* key;
  const char* title;
};
ComparisonPeriod PeriodOfButton(int n);

// Loads the button's period and titles the chart, also after a failed load; a load overtaken
// by a newer one leaves the title to that one.
void OnPeriodButton(app::App& app, LineChart& chart, int n);

// Attaches the seven period buttons; `chart` must outlive the App's windows.
void InstallYieldComparison(app::App& app, LineChart& chart);

}  // namespace chart
