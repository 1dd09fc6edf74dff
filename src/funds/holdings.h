#pragma once

// The top-ten stock holdings of the fund the user looks at, in 高级表格5 under 标签1: the
// shares from the portal's holdings archive, the stocks' codes and names from its quote
// service. Loaded on a worker.

#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "net/portal.h"
#include "net/transfer_control.h"
#include "ui/grid.h"

namespace funds {

struct Holding {
  std::string name;
  std::string code;
  std::string share;  // of the fund's net assets, as the archive writes it ("9.87%")
};

// What the archive lists: each holding's share and quote identifier ("1.600519"), in the same
// order.
struct HoldingsArchive {
  std::vector<std::string> shares;
  std::vector<std::string> identifiers;
};
HoldingsArchive CutHoldingsArchive(std::string_view archive);

// The quote records of the answer (at most ten), each with the share of the holding whose
// identifier carries its code, so an answer in another order or with a stock missing still
// puts every share beside its own stock.
std::vector<Holding> PairQuotes(std::string_view quotes, const HoldingsArchive& archive);

// Both requests for fund `code` under `control`. Any thread; failures give no holdings.
std::vector<Holding> FetchTopHoldings(const net::PortalUrls& urls, std::string_view code,
                                      net::TransferControl* control);

// Rows 1-10 of a holdings grid: the holdings, then empty rows.
void WriteHoldings(ui::Grid& grid, const std::vector<Holding>& holdings);

// Starts the worker for CurrentFundCode. Its result reaches 高级表格5 and 标签1 (the current fund
// row's name) on the UI thread, unless a newer holdings load started or the grid was emptied
// for a comparison meanwhile.
void StartTopHoldings(app::App& app);

}  // namespace funds
