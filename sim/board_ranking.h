#pragma once

// The theme-board ranking on the portal's API host: every board of the market with its mean
// yield over four periods, ranked by the requested one, as JSONP.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/market.h"

namespace sim {

class PortalSim;

inline constexpr const char* kBoardRankingPath = "/ztjj/GetZTJJList";
// The ranking page a request must come from; the portal answers other requests with no boards.
inline constexpr std::string_view kBoardRankingRefererPath = "/ztjj/";

// The four period codes ("st") in their order: a week, a month, three months, a year.
inline constexpr std::string_view kBoardPeriods[] = {"SYL_W", "SYL_M", "SYL_Q", "SYL_1N"};

struct BoardYields {
  const Board* board = nullptr;
  // Per kBoardPeriods entry: the mean growth of the board's funds that have a figure, in
  // percent with four decimals; empty for a board without such funds.
  std::optional<double> yields[4];
};

// The boards ranked by `period`'s yield, largest first, boards without a yield last, ties in
// market order; an unknown period keeps the market order.
std::vector<BoardYields> RankBoards(const Market& market, std::string_view period);

// The answer: `callback` + "(" + {"Data":[{"BKName":…,"BKCode":…,"SYL_W":…,…},…],…} + ")".
// The names of the boards at even ranking positions (the second, the fourth, ...) are
// percent-escaped UTF-8, as the portal sends some of its texts; a board without a yield has no
// yield members.
std::string BoardRankingAnswer(const Market& market, std::string_view callback,
                               std::string_view period, bool from_ranking_page);

void AddBoardRankingRoutes(PortalSim& sim);

}  // namespace sim
