#pragma once

// The compare service: the cumulative yield of one or two funds over a period, one record per
// trading day, as the portal's chart reads it. The series travels as escaped JSON inside the
// string member "Datas" of a JSONP answer:
//   cb({"Datas":"{\"dataProvider\": [{ \"date\": \"2021/08/19\",\"000001\":0.00,...},...]}",
//       "ErrCode":0,...});

#include <string>
#include <string_view>
#include <vector>

#include "sim/market.h"

namespace sim {

class PortalSim;

inline constexpr const char* kYieldComparePath = "/FundCompare/LJSYL";

// The period keys the service knows, shortest first.
inline constexpr std::string_view kYieldPeriods[] = {"week", "month",   "threemonth", "sixmonth",
                                                     "year", "twoyear", "threeyear"};

// One trading day of a comparison: the date as "yyyy/mm/dd" and each fund's cumulative yield
// in percent since the first day of the period (0 on that day), rounded to two decimals.
struct YieldPoint {
  std::string date;
  std::vector<double> yields;
};

// The weekdays from the period's start up to the market's date, with a yield per fund in
// `funds` order. A fund's last yield is its growth figure for the period when the market has
// one. Empty for an unknown period.
std::vector<YieldPoint> YieldSeries(const Market& market, const std::vector<const Fund*>& funds,
                                    std::string_view period);

// The whole answer for `bzdm` (codes joined by ","), wrapped in `callback`(...); when given.
// An empty or unknown code, more than two codes or an unknown period give an error answer
// whose "Datas" is null.
std::string YieldCompareAnswer(const Market& market, std::string_view bzdm, std::string_view period,
                               std::string_view callback);

// Registers GET /FundCompare/LJSYL?bzdm=&c=&callback= (PORTAL_API). A request whose Referer is
// not a compare page gets the error answer, as the portal refuses it.
void AddYieldCompareRoutes(PortalSim& sim);

}  // namespace sim
