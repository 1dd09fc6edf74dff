#pragma once

// The profile columns 14-23 of a fund row: size, rating, the current manager's return and
// tenure, and six risk statistics, cut from four profile pages of the portal.

#include <functional>
#include <optional>
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

// The four pages of one fund, each fetched and cut under `control`, on any thread. A page whose
// request failed (net::AnswerArrived) or whose answer lacks the marks of its kind of page gives
// nothing, so that a caller can tell a failed page from one that says nothing: the size page
// must hold its size row, the rating answer its callback, the risk page its statistics table;
// the manager page must be a whole page (a fund may have no current-manager table).
std::optional<std::string> FetchFundSize(const net::PortalUrls& urls, std::string_view code,
                                         net::TransferControl* control);
std::optional<ManagerFigures> FetchManagerFigures(const net::PortalUrls& urls,
                                                  std::string_view code,
                                                  net::TransferControl* control);
std::optional<std::string> FetchRating(const net::PortalUrls& urls, std::string_view code,
                                       net::TransferControl* control);
std::optional<std::vector<std::string>> FetchRiskStatistics(const net::PortalUrls& urls,
                                                            std::string_view code,
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

// The four profile pages as bits of a set.
inline constexpr unsigned kSizePage = 1;
inline constexpr unsigned kManagerPage = 2;
inline constexpr unsigned kRatingPage = 4;
inline constexpr unsigned kRiskPage = 8;
inline constexpr unsigned kAllProfilePages = 15;

// One row of the full download, taken on the UI thread when the worker starts.
struct DetailJob {
  int row = 0;
  std::string code;
  int funds_total = 0;   // AllFundsTotal at the start
  app::LoadTicket grid;  // the grid as it was filled for the download
  unsigned pages = kAllProfilePages;  // the pages to ask for
};
DetailJob DetailJobForRow(app::App& app, int row, unsigned pages = kAllProfilePages);

// Worker form: the job's pages of its fund, handed to the UI thread in two writes (columns
// 14-17, then 18-23) that are dropped when the grid has been refilled since the job was taken;
// a page that failed writes nothing. Returns the pages that failed. A row beyond the job's total
// returns at once (no page failed); otherwise LoadThreadCount goes down by one at the end.
unsigned LoadFundDetailsForRow(app::App& app, const DetailJob& job);

}  // namespace funds
