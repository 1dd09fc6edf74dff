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
      [&app, &funds, code, name, refresh_chart, fill = *ticket](const Answer& answer) {
        ui::Grid& grid = app.main_window().高级表格1;
        grid.ResetToDesign();
        WriteSummaryRow(grid, 1, name, code, answer.summary);
        app.shown_funds().Write(fill, 1, {code, name});
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
  const std::vector<WatchlistItem>& items = funds.watchlist();
  const int row = main.超级列表框2.CurrentRow();
  if (row < 0 || row >= static_cast<int>(items.size())) return;
  const WatchlistItem item = items[static_cast<size_t>(row)];
  if (item.type == kWatchlistStock) {
    ShowShareholderPage(funds.app(), item.code);
  } else if (item.type == kWatchlistFund) {
    main.外形框1.SetVisible(false);
    main.超文本浏览框1.SetVisible(false);
    ShowFundSummary(funds, item.code, item.name, refresh_chart);
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
