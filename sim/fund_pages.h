#pragma once

// A fund's pages: the main page with its headline figures, and the profile pages with size,
// current manager and risk statistics, plus the rating answer. The texts around the figures
// follow the portal's markup byte for byte where the program cuts, and carry look-alike
// elements elsewhere, as the real pages do.

#include <string>

#include "sim/fund_detail.h"
#include "sim/market.h"

namespace sim {

class PortalSim;

// GET /<code>.html (the query, e.g. "?spm=search ", is ignored).
std::string FundMainPage(const Market& market, const Fund& fund);
// GET /jbgk_<code>.html: the overview table with the size row.
std::string FundSizePage(const Market& market, const Fund& fund);
// GET /jjjl_<code>.html: the manager table, or a note that there is none.
std::string FundManagerPage(const Market& market, const Fund& fund);
// GET /tsdata_<code>.html: the risk statistics table.
std::string FundRiskPage(const Market& market, const Fund& fund);
// GET /F10/JJPJ/: the rating history, latest first, wrapped in `callback`(...) when given.
// `fund` null gives an empty history.
std::string FundRatingAnswer(const Market& market, const Fund* fund, const std::string& callback);

// Registers the five routes above. Paths may end in a blank (sent as %20) as the program's
// request texts do. Unknown fund codes are answered 404, except for the rating, which answers
// an empty history; so does a rating request whose Referer is not the fund's rating page.
void AddFundPageRoutes(PortalSim& sim);

}  // namespace sim
