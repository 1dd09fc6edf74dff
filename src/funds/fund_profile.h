#pragma once

// The profile columns 14-23 of a fund row: size, rating, the current manager's return and
// tenure, and six risk statistics, cut from four profile pages of the portal.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "funds/fund_detail.h"
#include "funds/funds.h"
#include "funds/last_good.h"
#include "net/transfer_control.h"
#include "portal/fund_profile.h"

namespace funds {

// The fund `code` the user looks at, shown in `row` of the fund grid, becomes the current fund;
// the four pages fill its columns as each arrives (a failed page shows its last good answer,
// else empty cells), a held comparison gets the row copied, the holdings load starts, and
// `refresh_chart` runs last (at once for an empty code). A list that refills the grid or a newer
// detail load while a page is fetched stops it: nothing more is written and the chart is left
// to the newer load.
void LoadFundDetails(Funds& funds, int row, const std::string& code,
                     const ChartRefresh& refresh_chart);

// The row-selection handler of 高级表格1.
void OnFundRowSelected(Funds& funds, const ChartRefresh& refresh_chart);

// The four profile pages as bits of a set.
inline constexpr unsigned kSizePage = 1;
inline constexpr unsigned kManagerPage = 2;
inline constexpr unsigned kRatingPage = 4;
inline constexpr unsigned kRiskPage = 8;
inline constexpr unsigned kAllProfilePages = 15;

// The pages of one fund that are in so far; a page not asked for or failed has nothing.
struct ProfilePages {
  std::optional<std::string> size;
  std::optional<std::string> rating;
  std::optional<portal::ManagerFigures> manager;
  std::optional<std::vector<std::string>> statistics;
};

// One fund's profile load into a row of the fund grid.
struct ProfileJob {
  int row = 0;
  std::string code;
  unsigned pages = kAllProfilePages;  // the pages to ask for
  // The other pages, as an earlier try of this row brought them in.
  ProfilePages earlier;
  // A failed page shows its last good answer, or empty cells without one (the fund the user
  // looks at). Otherwise a failed page writes nothing and is reported.
  bool stored = false;
  // The day under which the fund's columns are kept in the cache once all four pages are in;
  // empty: not kept.
  std::string keep_day;
};

struct DetailOutcome {
  unsigned failed = 0;   // the pages that failed
  ProfilePages pages;    // the job's earlier pages with those that came in now
  OfflineSince offline;  // the oldest last good answer shown
};

// The fetch of LoadProfilePages, for a load that runs it itself (the full download's fan-out):
// on a worker, it asks for the job's pages, hands each page's write to the UI thread (landing
// only while `ticket` is current and `row_holds_fund`, which must be set), keeps a whole fund
// in the cache and gives the outcome.
DetailOutcome FetchProfilePages(app::App& app, const app::LoadTicket& ticket, const ProfileJob& job,
                                const std::function<bool()>& row_holds_fund);

// Asks for the job's pages one after the other on one worker, in the order size, manager,
// rating, risk, and writes each into the job's row as it arrives. When the fund's four pages are
// complete the worker keeps them in the cache under the job's day, so that they outlive the
// program whatever becomes of the writes. A newer load of `ticket`'s target, or
// `row_holds_fund` (asked from any thread; none: always) turning false, stops it: nothing more
// is written or asked, and `ended` runs with nothing. Otherwise `ended` runs on the UI thread
// after the last page's write, with the outcome.
void LoadProfilePages(app::App& app, const app::LoadTicket& ticket, ProfileJob job,
                      std::function<bool()> row_holds_fund,
                      const std::function<void(std::optional<DetailOutcome>)>& ended);

}  // namespace funds
