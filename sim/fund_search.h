#pragma once

// The portal's search-suggest service: funds whose code starts with the key, whose name holds
// it or whose pinyin initials hold it, as JSONP.

#include <string>
#include <string_view>
#include <vector>

#include "sim/market.h"

namespace sim {

class PortalSim;

inline constexpr const char* kFundSearchPath = "/FundSearch/api/FundSearchAPI.ashx";
// The service lists no more funds than this for one key.
inline constexpr int kMaxSearchResults = 20;

// Indices of the matching funds in code order, at most kMaxSearchResults; none for an empty key.
// Initials match without regard to case.
std::vector<int> SearchFunds(const Market& market, std::string_view key);

// The answer: `callback` + "(" + {"ErrCode":0,"ErrMsg":null,"Datas":[{"_id":…,"NAME":…,…},…]}
// + ")", "Datas" the last member.
std::string FundSearchAnswer(const Market& market, std::string_view callback, std::string_view key);

void AddFundSearchRoutes(PortalSim& sim);

}  // namespace sim
