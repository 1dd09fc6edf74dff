#pragma once

// The watchlist (超级列表框2, stored under 自选数据/自选) and the comparison slot (高级表格2,
// 高级表格6, 标签2, the compared fund), driven by the pop-up menus of the grids and the list; and
// a stock's shareholder-count page in the main window's page panel.

#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "funds/fund_detail.h"
#include "funds/funds.h"
#include "funds/watchlist_store.h"
#include "ui/grid.h"

namespace funds {

inline constexpr const char* kWatchlistFund = "基金";
inline constexpr const char* kWatchlistStock = "股票";

// A fund or stock chosen in a grid.
struct WatchlistEntry {
  std::string code;
  std::string name;
};
// The fund grid's or a holdings grid's current row; nothing when no row with a name is chosen.
std::optional<WatchlistEntry> ChosenFund(const ui::Grid& funds);
std::optional<WatchlistEntry> ChosenStock(const ui::Grid& holdings);

// Start-up: the stored entries become the feature's watchlist and are drawn in 超级列表框2,
// numbered from 1.
void LoadWatchlist(Funds& funds);

// Appends `entry` as a watchlist entry of `type` and stores the list; with nothing chosen it
// says "请选择要加入的对象" and stores the list unchanged.
void AddToWatchlist(Funds& funds, const std::optional<WatchlistEntry>& entry,
                    const std::string& type);
// Deletes the selected watchlist row, renumbers the rest and stores the list.
void RemoveFromWatchlist(Funds& funds);

// Holds the fund grid's current row, with its holdings, for comparison: it becomes the compared
// fund and no fund is current any more.
void AddToComparison(app::App& app, FundDetail& detail);
// Lets the compared fund go from the chart and the holdings grid.
void RemoveComparison(app::App& app, FundDetail& detail);

// The shareholder-count history of the grid's current stock in the page panel.
void OpenShareholderPage(app::App& app, const ui::Grid& grid);
// The same for a stock code; an empty code still opens the panel.
void ShowShareholderPage(app::App& app, const std::string& code);

// Attaches the menu items, the holdings grids' cell events and right clicks (the fund pickers
// install with the fund summary, fund_summary.h).
void InstallFundDetail(Funds& funds);

}  // namespace funds
