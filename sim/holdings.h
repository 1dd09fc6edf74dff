#pragma once

// A fund's holdings archive, the quote service that names its stocks, and a stock's
// shareholder-count page.

#include <string>
#include <vector>

#include "sim/market.h"

namespace sim {

class PortalSim;

// How the quote service answers, so that a client's pairing of quotes with holdings can be
// tested: by default one record per known identifier, in request order.
struct QuoteOptions {
  bool reversed = false;    // answer in reverse request order
  std::string omit_code{};  // leave out the stock with this code
};

inline constexpr const char* kHoldingsArchivePath = "/FundArchivesDatas.aspx";
inline constexpr const char* kStockQuotesPath = "/api/qt/ulist.np/get";

// The archive answer: "var apidata={ content:\"...\",arryear:[...],curyear:N};" with, per
// reported quarter (latest first), a table of up to `topline` holdings followed by the hidden
// list of their quote identifiers. `fund` null gives empty content.
std::string HoldingsArchive(const Market& market, const Fund* fund, int topline = 10);

// The quote answer for the comma-separated `secids` ("1.600519,0.000858,"), wrapped in
// `callback`(...);. Unknown identifiers are left out; without any known one "data" is null.
std::string StockQuotes(const Market& market, const std::string& secids,
                        const std::string& callback, const QuoteOptions& options = {});

// Registers the archive (PORTAL_F10), quote (PORTAL_PUSH) and shareholder page
// (PORTAL_DATA: GET /gdhs/detail/<code>.html, 404 for an unknown stock) routes. The quote
// route follows PortalSim::quote_options() at the time of each request.
void AddHoldingsRoutes(PortalSim& sim);

}  // namespace sim
