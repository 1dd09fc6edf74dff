#pragma once

// The profile columns 14-23 of a fund row: size, rating, the current manager's return and
// tenure, and six risk statistics, cut from four profile pages of the portal.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "net/portal.h"
#include "net/transfer_control.h"

namespace funds {

// The page cuts; each gives empty texts when its markers are missing.
std::string CutFundSize(std::string_view page);
struct ManagerFigures {
  std::string tenure_return;
  std::string tenure;
};
ManagerFigures CutManagerFigures(std::string_view page);
// "0" when the rating is empty.
std::string CutRating(std::string_view answer);
// The statistics in page order; at most the six the grid has columns for.
std::vector<std::string> CutRiskStatistics(std::string_view page);

// The four pages of one fund, each fetched and cut under `control`. Any thread; failures give
// empty texts.
std::string FetchFundSize(const net::PortalUrls& urls, std::string_view code,
                          net::TransferControl* control);
ManagerFigures FetchManagerFigures(const net::PortalUrls& urls, std::string_view code,
                                   net::TransferControl* control);
std::string FetchRating(const net::PortalUrls& urls, std::string_view code,
                        net::TransferControl* control);
std::vector<std::string> FetchRiskStatistics(const net::PortalUrls& urls, std::string_view code,
                                             net::TransferControl* control);

// Redraws the yield comparison for the comparison slots as they are now. The shell binds it to
// the program's chart when it installs the fund detail.
using ChartRefresh = std::function<void()>;

// The fund the user looks at: the grid's current row (row 1 when there is none) becomes
// DetailRow, its code CurrentFundCode; the four pages fill its columns as each arrives, a held
// comparison gets the row copied, the holdings load starts, and `refresh_chart` runs last (also
// for an empty code). A list that refills the grid or a newer detail load while a page is
// fetched stops it: nothing more is written and the chart is left to the newer load.
void LoadFundDetails(app::App& app, const ChartRefresh& refresh_chart);

// The row-selection handler of 高级表格1.
void OnFundRowSelected(app::App& app, const ChartRefresh& refresh_chart);

// One row of the full download, taken on the UI thread when the worker starts.
struct DetailJob {
  int row = 0;
  std::string code;
  int funds_total = 0;   // AllFundsTotal at the start
  app::LoadTicket grid;  // the grid as it was filled for the download
};
DetailJob DetailJobForRow(app::App& app, int row);

// Worker form: the four pages of the job's fund, handed to the UI thread in two writes (columns
// 14-17, then 18-23) that are dropped when the grid has been refilled since the job was taken.
// A row beyond the job's total returns at once; otherwise LoadThreadCount goes down by one at
// the end.
void LoadFundDetailsForRow(app::App& app, const DetailJob& job);

}  // namespace funds
