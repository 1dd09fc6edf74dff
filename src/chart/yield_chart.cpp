#include "chart/yield_chart.h"

namespace chart {

void YieldChart::Install() {
  app_.main_window().画板1.on_mouse_move = [this](int x, int y) { chart_.TrackChartCursor(x, y); };
  InstallYieldComparison(app_, chart_, comparison_, slots_);
}

void YieldChart::Refresh() { RefreshComparisonChart(app_, chart_, comparison_, slots_()); }

}  // namespace chart
