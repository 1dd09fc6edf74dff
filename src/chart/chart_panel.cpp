#include "chart/chart_panel.h"

namespace chart {

void InstallChartPanel(app::App& app, LineChart& chart) {
  app.main_window().画板1.on_mouse_move = [&chart](int x, int y) { chart.TrackChartCursor(x, y); };
}

}  // namespace chart
