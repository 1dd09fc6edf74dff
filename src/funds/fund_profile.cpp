#include "funds/fund_profile.h"

#include "base/text.h"
#include "funds/download_resume.h"
#include "funds/fund_table.h"
#include "funds/holdings.h"
#include "funds/last_good.h"

namespace funds {

namespace {

// Writes the first three pages' columns; a page that failed writes nothing.
void WriteFirstPages(ui::Grid& grid, int row, const std::optional<std::string>& size,
                     const std::optional<std::string>& rating,
                     const std::optional<portal::ManagerFigures>& manager) {
  if (size) WriteFundSize(grid, row, *size);
  if (rating) WriteRating(grid, row, *rating);
  if (manager) WriteManagerFigures(grid, row, *manager);
}

// While a fund is held for comparison, row 2 of the comparison grid shows the fund the user
// looks at beside it.
void RefreshComparisonGrid(app::App& app, int row) {
  ui::Grid& funds = app.main_window().高级表格1;
  ui::Grid& comparison = app.main_window().高级表格2;
  if (FundCodeAt(comparison, 1).empty()) return;
  CopyFundRow(funds, row, comparison, 2, FundColumn::kDayChange);
}

// A fund is kept only whole: one with a page missing is asked for again by the next attempt.
void KeepWhenComplete(app::App& app, const DetailJob& job, const ProfilePages& pages) {
  if (job.keep_day.empty() || !pages.size || !pages.rating || !pages.manager || !pages.statistics) {
    return;
  }
  KeepProfileColumns(
      app.cache(), job.keep_day, job.code,
      ProfileColumnsOf(*pages.size, *pages.rating, *pages.manager, *pages.statistics));
}

}  // namespace

void LoadFundDetails(app::App& app, FundDetail& fund_detail, int row, const std::string& code,
                     const ChartRefresh& refresh_chart) {
  ui::Grid& grid = app.main_window().高级表格1;
  fund_detail.current_code = code;
  if (!code.empty()) {
    app::LoadGenerations& loads = app.loads();
    const app::LoadTicket detail = loads.Start(app::LoadTarget::kFundDetail);
    const app::LoadTicket filled = loads.Current(app::LoadTarget::kFundGrid);
    // Each page is written as soon as it is cut, unless the row no longer holds this fund.
    auto current = [&] { return loads.IsCurrent(detail) && loads.IsCurrent(filled); };
    // A page that failed shows its last good answer, or leaves its cells empty without one.
    app::OfflineSince offline;
    const std::string size = FundSizeOrStored(app, code, offline).value_or("");
    if (!current()) return;
    WriteFundSize(grid, row, size);
    const portal::ManagerFigures manager =
        ManagerFiguresOrStored(app, code, offline).value_or(portal::ManagerFigures{});
    if (!current()) return;
    WriteManagerFigures(grid, row, manager);
    const std::string rating = RatingOrStored(app, code, offline).value_or("");
    if (!current()) return;
    WriteRating(grid, row, rating);
    const std::vector<std::string> statistics =
        RiskStatisticsOrStored(app, code, offline).value_or(std::vector<std::string>{});
    if (!current()) return;
    WriteStatistics(grid, row, statistics);
    NoteDetailShown(app, offline);
    RefreshComparisonGrid(app, row);
    StartTopHoldings(app, code);
  }
  if (refresh_chart) refresh_chart();
}

void OnFundRowSelected(app::App& app, FundDetail& detail, const ChartRefresh& refresh_chart) {
  const ui::Grid& grid = app.main_window().高级表格1;
  const int row = grid.CurrentRow();
  if (row == -1) return;
  // The fund is the one the user picked in the grid: its row is where the list put it.
  const int detail_row = row > 0 ? row : 1;
  LoadFundDetails(app, detail, detail_row, FundCodeAt(grid, detail_row), refresh_chart);
}

DetailJob DetailJobForRow(app::App& app, int row, unsigned pages) {
  return {row,
          FundCodeAt(app.main_window().高级表格1, row),
          app.globals.AllFundsTotal,
          app.loads().Current(app::LoadTarget::kFundGrid),
          pages,
          {},
          {}};
}

DetailOutcome LoadFundDetailsForRow(app::App& app, const DetailJob& job) {
  DetailOutcome outcome{0, job.earlier};
  if (job.row > job.funds_total) return outcome;
  const net::PortalUrls& urls = app.portal();
  net::TransferControl* control = &app.transfers();
  const auto asked = [&job](unsigned page) { return (job.pages & page) != 0; };
  std::optional<std::string> size;
  std::optional<portal::ManagerFigures> manager;
  std::optional<std::string> rating;
  if (asked(kSizePage)) size = portal::FetchFundSize(urls, job.code, control);
  if (asked(kManagerPage)) manager = portal::FetchManagerFigures(urls, job.code, control);
  if (asked(kRatingPage)) rating = portal::FetchRating(urls, job.code, control);
  outcome.failed = (asked(kSizePage) && !size ? kSizePage : 0) |
                   (asked(kManagerPage) && !manager ? kManagerPage : 0) |
                   (asked(kRatingPage) && !rating ? kRatingPage : 0);
  ProfilePages& in = outcome.pages;
  if (size) in.size = size;
  if (manager) in.manager = manager;
  if (rating) in.rating = rating;
  app.ui().Post([&app, job, size = std::move(size), rating = std::move(rating),
                 manager = std::move(manager)] {
    if (app.loads().IsCurrent(job.grid)) {
      WriteFirstPages(app.main_window().高级表格1, job.row, size, rating, manager);
    }
  });
  std::optional<std::vector<std::string>> statistics;
  if (asked(kRiskPage)) {
    statistics = portal::FetchRiskStatistics(urls, job.code, control);
    if (statistics) {
      in.statistics = statistics;
    } else {
      outcome.failed |= kRiskPage;
    }
  }
  KeepWhenComplete(app, job, in);
  if (statistics) {
    app.ui().Post([&app, job, statistics = std::move(*statistics)] {
      if (app.loads().IsCurrent(job.grid)) {
        WriteStatistics(app.main_window().高级表格1, job.row, statistics);
      }
    });
  }
  app.globals.LoadThreadCount.fetch_sub(1);
  return outcome;
}

}  // namespace funds
