#pragma once

// A fund picked from the search results or the watchlist: its main page's headline values in
// row 1 of the fund grid, then its profile columns, holdings and chart.

#include <string>
#include <string_view>

#include "app/app.h"
#include "funds/fund_profile.h"
#include "portal/fund_page.h"
#include "ui/canvas.h"

namespace funds {

// Fetches the main page of fund `code`, writes row 1 of the emptied fund grid and loads the
// fund's details. Refuses while a long job holds the grid; writes nothing when a newer load of
// the grid started while the page was fetched.
void ShowFundSummary(Funds& funds, std::string code, std::string name,
                     const ChartRefresh& refresh_chart);

// A search result double-clicked in 超级列表框1: shows it, then empties and hides the search.
void OnSearchResultPicked(Funds& funds, const ChartRefresh& refresh_chart);
// A watchlist row picked in 超级列表框2: a fund is shown, a stock's shareholder page opened.
void OnWatchlistPicked(Funds& funds, const ChartRefresh& refresh_chart);

// Attaches the fund pickers (fund grid row, search result, watchlist row), whose detail loads
// change `detail` and end with `refresh_chart`; `detail` must outlive the App's windows.
void InstallFundPickers(Funds& funds, const ChartRefresh& refresh_chart);

}  // namespace funds
