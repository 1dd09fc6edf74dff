#pragma once

// The main window's chart panel 画板1: the line chart it shows and the read-out that follows
// the mouse over it.

#include "app/app.h"
#include "chart/line_chart.h"

namespace chart {

// Attaches the panel's mouse-move event to `chart`'s cursor; `chart` must outlive the App's
// windows.
void InstallChartPanel(app::App& app, LineChart& chart);

}  // namespace chart
