#include "shell/bind_events.h"

#include "alerts/alerts.h"
#include "analysis/risk_window.h"
#include "chart/chart_panel.h"
#include "chart/yield_comparison.h"
#include "export/export_handler.h"
#include "funds/board_ranking.h"
#include "funds/full_download.h"
#include "funds/fund_lists.h"
#include "funds/fund_search.h"
#include "funds/fund_summary.h"
#include "funds/last_good.h"
#include "funds/ranking_lists.h"
#include "funds/watchlist.h"
#include "positions/positions.h"
#include "shell/shell_handlers.h"
#include "shell/startup_tasks.h"
#include "tools/side_tools.h"

namespace shell {

namespace {

void BindWindowEvents(app::App& app) {
  app.main_window().on_created = [&app] { StartupTasks(app); };
  app.main_window().on_destroyed = [&app] { EndProcess(app); };
  app.board_window().on_destroyed = [&app] {
    app.globals.BoardFreshClick = 0;
    // A ranking still on its way belongs to the window that was closed.
    app.loads().Invalidate(app::LoadTarget::kBoardWindow);
  };
}

void BindPopupMenus(app::App& app) {
  app::MainWindow& main = app.main_window();
  main.高级表格1.on_right_click = [&main](int, int) { main.菜单.Popup(); };
  main.高级表格2.on_right_click = [&main](int, int) { main.菜单1.Popup(); };
  // The stock menu serves both holdings grids; the source tells its item which one.
  main.高级表格5.on_right_click = [&app](int, int) {
    app.globals.WatchlistMenuSource = 1;
    app.main_window().菜单2.Popup();
  };
  main.高级表格6.on_right_click = [&app](int, int) {
    app.globals.WatchlistMenuSource = 0;
    app.main_window().菜单2.Popup();
  };
  main.超级列表框2.on_right_click = [&main](int) { main.菜单3.Popup(); };
}

void BindShellControls(app::App& app, const Features& features) {
  app::MainWindow& main = app.main_window();
  main.选择框1.on_click = [&app] { OnLoadAllClicked(app); };
  main.选择框2.on_click = [&app] { OnAutostartClicked(app); };
  main.小功能钮.on_click = [&app, &features] {
    OnSideToolsClicked(app, features.side_tools->results());
  };
  main.支持钮.on_click = [&app] { OnSupportClicked(app); };
  main.图片框1.on_left_press = [&app] { OnClosePagePanel(app); };
}

}  // namespace

void BindEvents(app::App& app, Features& features) {
  BindWindowEvents(app);
  BindPopupMenus(app);
  features.side_tools = std::make_unique<tools::SideTools>(app);
  BindShellControls(app, features);

  // Features, in the order their start-up steps and handlers build on each other.
  funds::InstallCachePruning(app);
  funds::InstallRankingLists(app);
  chart::LineChart& chart = features.line_chart;
  funds::FundDetail& detail = features.fund_detail;
  const chart::SlotsSource slots = [&detail] {
    return chart::ComparisonSlots{detail.current_code, detail.compared_code};
  };
  funds::InstallFundDetail(app, detail);
  chart::ComparisonState& comparison = features.comparison;
  funds::InstallFundPickers(app, detail, [&app, &chart, &comparison, slots] {
    chart::RefreshComparisonChart(app, chart, comparison, slots());
  });
  funds::InstallBoardLists(app);
  funds::InstallFundLists(app);
  funds::InstallFundSearch(app);
  exporter::InstallExport(app);
  funds::InstallFullDownload(app);
  chart::InstallChartPanel(app, chart);
  chart::InstallYieldComparison(app, chart, comparison, slots);
  analysis::InstallRiskFigures(app, comparison);
  features.side_tools->Install();
  positions::InstallPositions(app);
  alerts::InstallAlerts(app);
}

}  // namespace shell
