#include "funds/fund_profile.h"

#include <memory>

#include "app/load.h"
#include "base/text.h"
#include "funds/download_resume.h"
#include "funds/fund_table.h"
#include "funds/holdings.h"
#include "funds/last_good.h"

namespace funds {

namespace {

constexpr unsigned kPageOrder[] = {kSizePage, kManagerPage, kRatingPage, kRiskPage};

// While a fund is held for comparison, row 2 of the comparison grid shows the fund the user
// looks at beside it.
void RefreshComparisonGrid(app::App& app, int row) {
  ui::Grid& funds = app.main_window().高级表格1;
  ui::Grid& comparison = app.main_window().高级表格2;
  // A fund is held for comparison when the comparison grid's first row shows a code: that cell
  // is what decides.
  if (FundCodeAt(comparison, 1).empty()) return;
  CopyFundRow(funds, row, comparison, 2, FundColumn::kDayChange);
}

bool Complete(const ProfilePages& pages) {
  return pages.size && pages.rating && pages.manager && pages.statistics;
}

// What one page brought: `pages` holds it alone, nothing when it failed.
struct PageAnswer {
  ProfilePages pages;
  OfflineSince offline;
};

// On a worker: page `page` of the job's fund. The last good answer stands in for a failed
// request when the job asks for it.
PageAnswer FetchProfilePage(app::App& app, const ProfileJob& job, unsigned page) {
  PageAnswer answer;
  ProfilePages& in = answer.pages;
  const std::string& code = job.code;
  net::TransferControl* control = &app.transfers();
  const net::PortalUrls& urls = app.portal();
  switch (page) {
    case kSizePage:
      in.size = job.stored ? FundSizeOrStored(app, code, answer.offline)
                           : portal::FetchFundSize(urls, code, control);
      break;
    case kManagerPage:
      in.manager = job.stored ? ManagerFiguresOrStored(app, code, answer.offline)
                              : portal::FetchManagerFigures(urls, code, control);
      break;
    case kRatingPage:
      in.rating = job.stored ? RatingOrStored(app, code, answer.offline)
                             : portal::FetchRating(urls, code, control);
      break;
    default:
      in.statistics = job.stored ? RiskStatisticsOrStored(app, code, answer.offline)
                                 : portal::FetchRiskStatistics(urls, code, control);
      break;
  }
  return answer;
}

// Adds what `answer` brought to `pages`; the pages it failed.
unsigned TakePage(ProfilePages& pages, const ProfilePages& answer, unsigned page) {
  switch (page) {
    case kSizePage:
      if (answer.size) pages.size = answer.size;
      return answer.size ? 0 : page;
    case kManagerPage:
      if (answer.manager) pages.manager = answer.manager;
      return answer.manager ? 0 : page;
    case kRatingPage:
      if (answer.rating) pages.rating = answer.rating;
      return answer.rating ? 0 : page;
    default:
      if (answer.statistics) pages.statistics = answer.statistics;
      return answer.statistics ? 0 : page;
  }
}

// Writes page `page` of `answer` into `row`; a failed page writes empty cells when `empty`, and
// nothing otherwise.
void WritePage(ui::Grid& grid, int row, const ProfilePages& answer, unsigned page, bool empty) {
  switch (page) {
    case kSizePage:
      if (answer.size || empty) WriteFundSize(grid, row, answer.size.value_or(""));
      break;
    case kManagerPage:
      if (answer.manager || empty) {
        WriteManagerFigures(grid, row, answer.manager.value_or(portal::ManagerFigures{}));
      }
      break;
    case kRatingPage:
      if (answer.rating || empty) WriteRating(grid, row, answer.rating.value_or(""));
      break;
    default:
      if (answer.statistics || empty) {
        WriteStatistics(grid, row, answer.statistics.value_or(std::vector<std::string>{}));
      }
      break;
  }
}

}  // namespace

DetailOutcome FetchProfilePages(app::App& app, const app::LoadTicket& ticket, const ProfileJob& job,
                                const std::function<bool()>& row_holds_fund) {
  DetailOutcome outcome{0, job.earlier, {}};
  for (const unsigned page : kPageOrder) {
    if ((job.pages & page) == 0) continue;
    if (!row_holds_fund()) break;
    PageAnswer answer = FetchProfilePage(app, job, page);
    outcome.failed |= TakePage(outcome.pages, answer.pages, page);
    KeepOldest(outcome.offline, answer.offline);
    app.ui().Post([&app, ticket, row_holds_fund, row = job.row, stored = job.stored, page,
                   pages = std::move(answer.pages)] {
      if (app.loads().IsCurrent(ticket) && row_holds_fund()) {
        WritePage(app.main_window().高级表格1, row, pages, page, stored);
      }
    });
  }
  // A fund is kept only whole: one with a page missing is asked for again by the next attempt.
  const ProfilePages& all = outcome.pages;
  if (!job.keep_day.empty() && Complete(all)) {
    KeepProfileColumns(app.cache(), job.keep_day, job.code,
                       ProfileColumnsOf(*all.size, *all.rating, *all.manager, *all.statistics));
  }
  return outcome;
}

void LoadProfilePages(app::App& app, const app::LoadTicket& ticket, ProfileJob job,
                      std::function<bool()> row_holds_fund,
                      const std::function<void(std::optional<DetailOutcome>)>& ended) {
  if (!row_holds_fund) row_holds_fund = [] { return true; };
  auto dropped = [ended] { ended(std::nullopt); };
  app::StartLoad(
      app, ticket,
      [&app, ticket, job = std::move(job), row_holds_fund] {
        return FetchProfilePages(app, ticket, job, row_holds_fund);
      },
      [row_holds_fund, ended, dropped](DetailOutcome outcome) {
        if (!row_holds_fund()) {
          dropped();
          return;
        }
        ended(std::move(outcome));
      },
      dropped);
}

void LoadFundDetails(Funds& funds, int row, const std::string& code,
                     const ChartRefresh& refresh_chart) {
  app::App& app = funds.app();
  funds.detail().current_code = code;
  if (code.empty()) {
    if (refresh_chart) refresh_chart();
    return;
  }
  app::LoadGenerations& loads = app.loads();
  const app::LoadTicket detail = loads.Start(app::LoadTarget::kFundDetail);
  const app::LoadTicket filled = loads.Current(app::LoadTarget::kFundGrid);
  ProfileJob job;
  job.row = row;
  job.code = code;
  job.stored = true;
  // Each page is written as soon as it is cut, unless the row no longer holds this fund.
  LoadProfilePages(
      app, detail, std::move(job), [&loads, filled] { return loads.IsCurrent(filled); },
      [&app, &funds, row, code, refresh_chart](std::optional<DetailOutcome> outcome) {
        if (!outcome) return;
        NoteDetailShown(funds, outcome->offline);
        RefreshComparisonGrid(app, row);
        StartTopHoldings(funds, code);
        if (refresh_chart) refresh_chart();
      });
}

void OnFundRowSelected(Funds& funds, const ChartRefresh& refresh_chart) {
  const ui::Grid& grid = funds.app().main_window().高级表格1;
  const int row = grid.CurrentRow();
  if (row == -1) return;
  // The fund is the one the user picked in the grid: its code is read from the row's code cell,
  // which is what the detail of a selected row is about (also a row no list wrote).
  const int detail_row = row > 0 ? row : 1;
  LoadFundDetails(funds, detail_row, FundCodeAt(grid, detail_row), refresh_chart);
}

}  // namespace funds
