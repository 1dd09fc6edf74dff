#pragma once

// The FundGuide list endpoint: pages of fund records, filtered, sorted and paged as the portal
// does it.

#include <string>
#include <vector>

#include "sim/market.h"

namespace sim {

class PortalSim;

inline constexpr const char* kFundGuidePath = "/data/FundGuideapi.aspx";

struct FundGuideQuery {
  std::string sort_code;   // "sc"; unknown codes keep the code order
  bool ascending = false;  // "st" == "asc"
  int min_rating = 0;      // "rt" = "sz,<n>": funds with at least n stars
  std::string board;       // "tp": a board code, "BK0478"
  int page = 1;            // "pi", from 1
  int page_size = 20;      // "pn"
};

// Indices of the matching funds in answer order: by the sort period's growth in the requested
// direction, empty figures last either way, ties by code.
std::vector<int> SelectFunds(const Market& market, const FundGuideQuery& query);

// The answer body: "var rankData = {datas:[...],allRecords:N,pageIndex:P,pageNum:S,
// allPages:A,datacount:C}" with unquoted member names, UTF-8.
std::string FundGuideBody(const Market& market, const FundGuideQuery& query);

void AddFundGuideRoutes(PortalSim& sim);

}  // namespace sim
