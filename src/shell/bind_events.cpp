#include "shell/bind_events.h"

#include "alerts/alerts.h"
#include "analysis/risk_window.h"
#include "chart/yield_chart.h"
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
}

void BindPopupMenus(app::App& app) {
  app::MainWindow& main = app.main_window();
  main.高级表格1.on_right_click = [&main](int, int) { main.菜单.Popup(); };
  main.高级表格2.on_right_click = [&main](int, int) { main.菜单1.Popup(); };
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

// The fund of the watchlist row 菜单3 was opened on: the fund feature owns the entries, which
// 超级列表框2 draws row for row; a stock entry is no fund.
navchart::WatchlistFund ChosenWatchlistFund(app::App& app, funds::Funds& funds) {
  return [&app, &funds]() -> std::optional<app::FundRef> {
    const int row = app.main_window().超级列表框2.CurrentRow();
    const std::vector<funds::WatchlistItem>& items = funds.watchlist();
    if (row < 0 || row >= static_cast<int>(items.size())) return std::nullopt;
    const funds::WatchlistItem& item = items[static_cast<size_t>(row)];
    if (item.type != funds::kWatchlistFund) return std::nullopt;
    return app::FundRef{item.code, item.name};
  };
}

}  // namespace

Features::~Features() {
  if (app != nullptr) app->workers().StopAndJoin();
}

void BindEvents(app::App& app, Features& features) {
  features.app = &app;
  BindWindowEvents(app);
  BindPopupMenus(app);
  features.funds = std::make_unique<funds::Funds>(app);
  features.side_tools = std::make_unique<tools::SideTools>(app);
  BindShellControls(app, features);

  // Features, in the order their start-up steps and handlers build on each other.
  const funds::FundDetail& detail = features.funds->detail();
  features.yield_chart = std::make_unique<chart::YieldChart>(app, [&detail] {
    return chart::ComparisonSlots{detail.current_code, detail.compared_code};
  });
  chart::YieldChart& chart = *features.yield_chart;
  exporter::InstallExport(app);
  features.funds->Install([&chart] { chart.Refresh(); });
  chart.Install();
  features.risk_window = std::make_unique<analysis::RiskWindow>(app);
  features.risk_window->Install(chart.comparison());
  features.side_tools->Install();
  features.positions = std::make_unique<positions::Positions>(app);
  features.positions->Install();
  features.alerts = std::make_unique<alerts::Alerts>(app, features.positions->store());
  features.alerts->Install();
  features.nav_chart = std::make_unique<navchart::NavChart>(
      app, features.positions->store(), ChosenWatchlistFund(app, *features.funds));
  features.nav_chart->Install();
}

}  // namespace shell
