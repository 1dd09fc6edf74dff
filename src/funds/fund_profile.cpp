#include "funds/fund_profile.h"

#include "base/text.h"
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
  return {row, FundCodeAt(app.main_window().高级表格1, row), app.globals.AllFundsTotal,
          app.loads().Current(app::LoadTarget::kFundGrid), pages};
}

unsigned LoadFundDetailsForRow(app::App& app, const DetailJob& job) {
  if (job.row > job.funds_total) return 0;
  const net::PortalUrls& urls = app.portal();
  net::TransferControl* control = &app.transfers();
  const auto asked = [&job](unsigned page) { return (job.pages & page) != 0; };
  std::optional<std::string> size;
  std::optional<portal::ManagerFigures> manager;
  std::optional<std::string> rating;
  if (asked(kSizePage)) size = portal::FetchFundSize(urls, job.code, control);
  if (asked(kManagerPage)) manager = portal::FetchManagerFigures(urls, job.code, control);
  if (asked(kRatingPage)) rating = portal::FetchRating(urls, job.code, control);
  unsigned failed = (asked(kSizePage) && !size ? kSizePage : 0) |
                    (asked(kManagerPage) && !manager ? kManagerPage : 0) |
                    (asked(kRatingPage) && !rating ? kRatingPage : 0);
  app.ui().Post([&app, job, size = std::move(size), rating = std::move(rating),
                 manager = std::move(manager)] {
    if (app.loads().IsCurrent(job.grid)) {
      WriteFirstPages(app.main_window().高级表格1, job.row, size, rating, manager);
    }
  });
  if (asked(kRiskPage)) {
    std::optional<std::vector<std::string>> statistics =
        portal::FetchRiskStatistics(urls, job.code, control);
    if (statistics) {
      app.ui().Post([&app, job, statistics = std::move(*statistics)] {
        if (app.loads().IsCurrent(job.grid)) {
          WriteStatistics(app.main_window().高级表格1, job.row, statistics);
        }
      });
    } else {
      failed |= kRiskPage;
    }
  }
  app.globals.LoadThreadCount.fetch_sub(1);
  return failed;
}

}  // namespace funds
