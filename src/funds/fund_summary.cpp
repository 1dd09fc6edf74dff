#include "funds/fund_summary.h"

#include "app/load.h"
#include "base/text.h"
#include "funds/fund_profile.h"
#include "funds/fund_table.h"
#include "funds/last_good.h"
#include "funds/watchlist.h"
#include "portal/fund_page.h"

namespace funds {

// `code` and `name` are copies: the lists they come from may change while the page is fetched.
void ShowFundSummary(Funds& funds,
                     std::string code,  // NOLINT(performance-unnecessary-value-param)
                     std::string name,  // NOLINT(performance-unnecessary-value-param)
                     const ChartRefresh& refresh_chart) {
  app::App& app = funds.app();
  const std::optional<app::LoadTicket> ticket =
      app::StartLoadOrRefuse(app, app::LoadTarget::kFundGrid);
  if (!ticket) return;
  struct Answer {
    portal::FundSummary summary;
    OfflineSince offline;
  };
  app::StartLoad(
      app, *ticket,
      [&app, code] {
        Answer answer;
        answer.summary =
            FundSummaryOrStored(app, code, answer.offline).value_or(portal::FundSummary{});
        return answer;
      },
      [&app, &funds, code, name, refresh_chart](const Answer& answer) {
        ui::Grid& grid = app.main_window().高级表格1;
        grid.ResetToDesign();
        WriteSummaryRow(grid, 1, name, code, answer.summary);
        NoteListShown(funds, answer.offline);
        // The fund becomes the current one only now that its load was accepted.
        LoadFundDetails(funds, 1, code, refresh_chart);
      });
}

void OnSearchResultPicked(Funds& funds, const ChartRefresh& refresh_chart) {
  app::MainWindow& main = funds.app().main_window();
  ui::ListView& results = main.超级列表框1;
  const int row = results.CurrentRow();
  ShowFundSummary(funds, results.Text(row, 1), results.Text(row, 0), refresh_chart);
  main.搜索框.SetText("");
  results.Clear();
  results.SetVisible(false);
}

void OnWatchlistPicked(Funds& funds, const ChartRefresh& refresh_chart) {
  app::MainWindow& main = funds.app().main_window();
  ui::ListView& watchlist = main.超级列表框2;
  const int row = watchlist.CurrentRow();
  const std::string code = watchlist.Text(row, 1);
  const std::string& type = watchlist.Text(row, 3);
  if (type == kWatchlistStock) {
    ShowShareholderPage(funds.app(), code);
  } else if (type == kWatchlistFund) {
    main.外形框1.SetVisible(false);
    main.超文本浏览框1.SetVisible(false);
    ShowFundSummary(funds, code, watchlist.Text(row, 2), refresh_chart);
  }
}

void InstallFundPickers(Funds& funds, const ChartRefresh& refresh_chart) {
  app::MainWindow& main = funds.app().main_window();
  main.高级表格1.on_cell_event = [&funds, refresh_chart](int, int) {
    OnFundRowSelected(funds, refresh_chart);
  };
  main.超级列表框1.on_double_click = [&funds, refresh_chart](int) {
    OnSearchResultPicked(funds, refresh_chart);
  };
  main.超级列表框2.on_item_event = [&funds, refresh_chart](int) {
    OnWatchlistPicked(funds, refresh_chart);
  };
}

}  // namespace funds
