#pragma once

// The main window's yield chart as one feature: the chart 画板1 shows, what its last drawing
// compared, the period buttons and the read-out under the mouse. Made by the shell; outlives the
// App's windows.

#include <utility>

#include "app/app.h"
#include "chart/line_chart.h"
#include "chart/yield_comparison.h"

namespace chart {

class YieldChart {
 public:
  // `compared` tells the funds the chart compares when it is drawn.
  YieldChart(app::App& app, SlotsSource compared) : app_(app), slots_(std::move(compared)) {}
  YieldChart(const YieldChart&) = delete;
  YieldChart& operator=(const YieldChart&) = delete;

  // Attaches the period buttons and the chart's mouse moves.
  void Install();
  // Draws the chart again for the slots as they are now.
  void Refresh();

  LineChart& line_chart() { return chart_; }
  // The risk figures follow each drawing through its hook.
  ComparisonState& comparison() { return comparison_; }

 private:
  app::App& app_;
  SlotsSource slots_;
  LineChart chart_;
  ComparisonState comparison_;
};

}  // namespace chart
