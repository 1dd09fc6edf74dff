#pragma once

// A fund's whole NAV history as the portal's chart script sends it (PORTAL_MAIN):
//   GET /pingzhongdata/<code>.js?v=<yyyyMMddHHmmss>
// UTF-8 JavaScript: `var NAME = VALUE;` statements with comments between them: fS_name,
// fS_code, fund_Rate (the discounted fee in percent, "" for some funds), fund_minsg (the
// smallest purchase in yuan, "" for some), Data_netWorthTrend ([{x, y, equityReturn,
// unitMoney}]), Data_ACWorthTrend ([[x, accumulated NAV]]) and a few variables a reader must
// ignore. x is the day's 00:00 in UTC+8 in ms since the epoch. An unknown code gets 404.
//
// The history is derived on demand from the market seed, the fund's index and what its main
// page shows:
// - one point per trading day (weekdays less the holiday periods of IsTradingDay) from the
//   inception date, or MarketOptions::history_years back when that is set, to the NAV date the
//   main page shows, which is always the last point, with the page's unit NAV and day change;
// - the accumulated NAV is the fund's return index: over each ranking period with a figure it
//   gives that figure, (last / first − 1) × 100 rounded half away from zero to two decimals,
//   where a period's first point is the first on or after the last day less 7 days (week) or
//   1, 3, 6, 12, 24, 36 months (a day past a month's end is its last day), the point before the
//   last (day), or the last point of the year before (this year). Two figures that fall on the
//   same first point cannot both hold: the shorter period's does. Over the whole history it
//   gives the since-inception figure when no ranking period starts on the first point. Its
//   scale starts at the page's accumulated NAV and doubles until every figure can be met with
//   four decimals;
// - index % 3 == 0: a cash dividend about once a year (unitMoney "分红：每份派现金0.0500元"):
//   the unit NAV drops by it that day, the accumulated NAV does not;
// - index % 17 == 8: one split halfway (unitMoney "拆分：每份基金份额折算1.0234份"): the unit
//   NAV is divided by the ratio that day;
// - index % 13 == 7: about one accumulated NAV in a hundred is null (never on a period's first
//   point or the last point);
// - equityReturn is the day's change of the accumulated NAV in percent (two decimals), 0 on the
//   first point, and on the last point the page's day change (null when the page has none).

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/market.h"

namespace sim {

class PortalSim;

// Weekdays that fall in none of the market's holiday periods: New Year's Day, the week of the
// Spring Festival (its eve to its sixth day; years 2000 to 2030), 4 to 6 April, 1 to 5 May and
// 1 to 7 October.
bool IsTradingDay(std::chrono::sys_days day);

struct NavDay {
  std::string day;                              // YYYY-MM-DD
  std::int64_t unit_nav = 0;                    // ten-thousandths
  std::optional<std::int64_t> accumulated_nav;  // ten-thousandths; none where it is null
  std::optional<std::int64_t> day_growth;       // hundredths of a percent
  std::string unit_money;
};

// The history of `shown` (a fund of `market` as its main page shows it), oldest first.
std::vector<NavDay> NavHistoryOf(const Market& market, const Fund& shown);
std::string NavHistoryAnswer(const Market& market, const Fund& shown);

// Registers GET /pingzhongdata/<code>.js; the page's NAV date and day change are those the main
// page shows at the time (PortalSim::Shown).
void AddNavHistoryRoutes(PortalSim& sim);

}  // namespace sim
