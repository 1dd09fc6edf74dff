#pragma once

// The watchlist (超级列表框2, stored under 自选数据/自选) and the comparison slot (高级表格2,
// 高级表格6, 标签2, ComparedFundCode), driven by the pop-up menus of the grids and the list; and
// a stock's shareholder-count page in the main window's page panel.

#include <string>

#include "app/app.h"
#include "funds/fund_profile.h"
#include "ui/grid.h"

namespace funds {

inline constexpr const char* kWatchlistFund = "基金";
inline constexpr const char* kWatchlistStock = "股票";

// Appends the grid's current row (code, name) as a watchlist entry of `type` and stores the
// list; with no row chosen it says "请选择要加入的对象" and stores the list unchanged.
void AddToWatchlist(app::App& app, const ui::Grid& grid, const std::string& type);
// Deletes the selected watchlist row, renumbers the rest and stores the list.
void RemoveFromWatchlist(app::App& app);
// Stores the list as code/name/type| per row, the section holding only this key.
void SaveWatchlist(app::App& app);

// Holds the fund grid's current row, with its holdings, for comparison.
void AddToComparison(app::App& app);
// Lets the compared fund go from the chart and the holdings grid.
void RemoveComparison(app::App& app);

// The shareholder-count history of the grid's current stock in the page panel.
void OpenShareholderPage(app::App& app, const ui::Grid& grid);
// The same for a stock code; an empty code still opens the panel.
void ShowShareholderPage(app::App& app, const std::string& code);

// Attaches the menu items and the holdings grids' cell events (the fund pickers install with
// the fund summary, fund_summary.h).
void InstallFundDetail(app::App& app);

}  // namespace funds
