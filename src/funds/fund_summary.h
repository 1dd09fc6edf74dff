#pragma once

// A fund picked from the search results or the watchlist: its main page's headline values in
// row 1 of the fund grid, then its profile columns, holdings and chart.

#include <string>
#include <string_view>

#include "app/app.h"
#include "funds/fund_profile.h"
#include "ui/canvas.h"

namespace funds {

// The values cut from a fund's main page; each is empty when its markers are missing.
struct FundSummary {
  std::string fund_type;
  std::string nav_date;
  std::string unit_nav;
  std::string day_change;
  // 近1周, 近1月, 近3月, 近6月, 今年来, 近一年, 近2年, 近3年; a period the page does not list
  // stays empty.
  std::string periods[8];
};

FundSummary CutFundSummary(std::string_view page);

// Text colours of the summary row: no silver band, so zero and empty values are green.
ui::Colour NavColour(std::string_view text);     // red above zero
ui::Colour PeriodColour(std::string_view text);  // blue above 50, red above zero

// Fetches the main page of fund `code`, writes row 1 of the emptied fund grid and loads the
// fund's details. Refuses while a long job holds the grid; writes nothing when a newer load of
// the grid started while the page was fetched.
void ShowFundSummary(app::App& app, std::string code, std::string name,
                     const ChartRefresh& refresh_chart);

// A search result double-clicked in 超级列表框1: shows it, then empties and hides the search.
void OnSearchResultPicked(app::App& app, const ChartRefresh& refresh_chart);
// A watchlist row picked in 超级列表框2: a fund is shown, a stock's shareholder page opened.
void OnWatchlistPicked(app::App& app, const ChartRefresh& refresh_chart);

}  // namespace funds
