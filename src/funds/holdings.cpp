#include "funds/holdings.h"

#include "app/load.h"
#include "funds/fund_table.h"
#include "funds/holdings_overlap.h"
#include "funds/last_good.h"

namespace funds {

void WriteHoldings(ui::Grid& grid, const std::vector<portal::Holding>& holdings) {
  for (int row = 1; row <= portal::kHoldingCount; ++row) {
    const size_t i = static_cast<size_t>(row - 1);
    const portal::Holding empty;
    const portal::Holding& holding = i < holdings.size() ? holdings[i] : empty;
    grid.SetText(row, Col(HoldingColumn::kName), holding.name);
    grid.SetText(row, Col(HoldingColumn::kCode), holding.code);
    grid.SetText(row, Col(HoldingColumn::kShare), holding.share);
  }
}

void StartTopHoldings(Funds& funds, std::string code) {
  app::App& app = funds.app();
  app::LoadGenerations& loads = app.loads();
  const app::LoadTicket ticket = loads.Start(app::LoadTarget::kHoldingsGrid);
  // The detail load that started this one: the title's note counts the holdings only while the
  // detail they belong to is still the one shown.
  const app::LoadTicket detail = loads.Current(app::LoadTarget::kFundDetail);
  const app::LoadTicket filled = loads.Current(app::LoadTarget::kFundGrid);
  struct Answer {
    std::vector<portal::Holding> holdings;
    OfflineSince offline;
  };
  app::StartLoad(
      app, ticket,
      [&app, urls = app.portal(), code = std::move(code)] {
        Answer answer;
        answer.holdings = TopHoldingsOrStored(app, urls, code, answer.offline)
                              .value_or(std::vector<portal::Holding>{});
        return answer;
      },
      [&app, &funds, detail, filled](const Answer& answer) {
        app::MainWindow& main = app.main_window();
        funds.detail().current_holdings = answer.holdings;
        WriteHoldings(main.高级表格5, answer.holdings);
        RefreshHoldingsOverlap(app, funds.detail());
        // The name of the row the user looks at now, read from the grid's name cell of that row.
        const int row = main.高级表格1.CurrentRow();
        main.标签1.SetCaption(FundNameAt(main.高级表格1, row != -1 ? row : 1));
        const app::LoadGenerations& generations = app.loads();
        if (generations.IsCurrent(detail) && generations.IsCurrent(filled)) {
          NoteHoldingsShown(funds, answer.offline);
        }
      });
}

}  // namespace funds
