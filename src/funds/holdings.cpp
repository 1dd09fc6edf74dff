#include "funds/holdings.h"

#include "funds/fund_table.h"
#include "funds/holdings_overlap.h"

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

void StartTopHoldings(app::App& app, std::string code) {
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kHoldingsGrid);
  app.workers().Start([&app, ticket, urls = app.portal(), code = std::move(code)] {
    app.ui().Post(
        [&app, ticket, holdings = portal::FetchTopHoldings(urls, code, &app.transfers())] {
          if (!app.loads().IsCurrent(ticket)) return;
          app::MainWindow& main = app.main_window();
          WriteHoldings(main.高级表格5, holdings);
          RefreshHoldingsOverlap(app);
          // The name of the row the user looks at now, which the grid alone knows.
          const int row = main.高级表格1.CurrentRow();
          main.标签1.SetCaption(FundNameAt(main.高级表格1, row != -1 ? row : 1));
        });
  });
}

}  // namespace funds
