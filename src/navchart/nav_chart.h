#pragma once

// 净值走势: one window for the program, not modal, showing a fund's whole NAV history with the
// user's trades from the positions ledger on it (this feature reads the ledger's records; it
// writes nothing there). Opened from the fund grid's menu 菜单, a double-click on a row of
// 持仓表格 and the watchlist's menu 菜单3.
//
// The history is kept in the cache with the time it arrived. Opening a fund reads the kept
// history and asks the portal only when none is kept or it is no longer fresh
// (store::NavHistoryFresh: a trading day's NAV is out by its evening), or when the user clicks
// 刷新. What arrives is kept. When the request fails the kept history is shown, and the
// window's title ends with "（离线数据 " + the time it arrived + "）", as the main window's does
// for its offline data. Everything of the cache and the ledger is read on a worker.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "base/nav_history.h"
#include "navchart/nav_figures.h"
#include "navchart/nav_plot.h"
#include "positions/positions_store.h"
#include "ui/canvas.h"

namespace navchart {

// The fund of the watchlist row the menu 菜单3 was opened on; nothing when the row is no fund.
using WatchlistFund = std::function<std::optional<app::FundRef>()>;

inline constexpr char kChooseFundText[] = "请选择要查看的基金";
inline constexpr char kNoHistoryText[] = "无法获取净值数据";
inline constexpr char kNothingToExportText[] = "没有可导出的净值数据";
inline constexpr char kWorkbookPrefix[] = "净值";

// What a load brings to the UI thread.
struct LoadedHistory {
  std::optional<base::NavHistory> history;
  // The arrival of the kept history shown because the request failed; empty when it is fresh.
  std::string offline_since;
  std::vector<TradeMark> trades;
};

// The load's fetch, on a worker: the kept history, the portal when it must be asked (`ask`: the
// user's 刷新), the fund's trades from `ledger` (not made when it is missing).
LoadedHistory FetchHistory(app::App& app, positions::PositionsStore& ledger,
                           const std::string& code, bool ask);

class NavChart {
 public:
  // `ledger` is the positions' handle on the ledger, whose trades the chart marks.
  NavChart(app::App& app, positions::PositionsStore& ledger, WatchlistFund watchlist_fund);
  NavChart(const NavChart&) = delete;
  NavChart& operator=(const NavChart&) = delete;

  // Binds the window's controls, the two menu items and the double-click on 持仓表格.
  void Install();

  // Shows the window on `fund` and loads its history.
  void Open(const app::FundRef& fund);

  struct State {
    app::FundRef fund;
    std::optional<base::NavHistory> history;
    std::string offline_since;
    std::vector<TradeMark> marks;  // trades, then dividend and split days
    app::NavPeriod period = app::NavPeriod::kYear1;
    NavPlot plot;
    // The picture without the cross-hair, copied back before each cross-hair is drawn.
    std::unique_ptr<ui::Canvas> picture;
    std::string status;
  };
  const State& state() const { return state_; }

 private:
  void Load(bool ask);
  void Applied(const app::FundRef& fund, LoadedHistory loaded);
  void ShowPeriod(app::NavPeriod period);
  void ShowTitle();
  void Redraw();
  void FillTable();
  void TrackCursor(int x);
  void ShowReadout(const base::NavPoint* point);
  void Export();
  void Closed();

  app::App& app_;
  // The positions' handle on the ledger, read for the trades (safe on any thread).
  positions::PositionsStore& ledger_;
  WatchlistFund watchlist_fund_;
  State state_;
};

// The workbook 导出 writes: the workbook folder / ("净值" + code + ".xls").
std::filesystem::path NavWorkbookPath(app::App& app, const std::string& code);

}  // namespace navchart
