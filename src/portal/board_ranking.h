#pragma once

// The board ranking on PORTAL_API: the portal's sector and theme boards ranked by their yield
// over a period ("SYL_W", "SYL_M", "SYL_Q", "SYL_1N"). Some hundred boards, tens of KB.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

inline constexpr std::size_t kBoardRankingMaxBytes = 2u << 20;
inline constexpr std::string_view kBoardRankingCallback =
    "jQuery18304518781773802629_1629802165289";
std::string BoardRankingUrl(const net::PortalUrls& urls, std::string_view period_code);
// The Referer line (no CR LF).
std::string BoardRankingReferer(const net::PortalUrls& urls);

struct Board {
  std::string name;   // BKName
  std::string code;   // BKCode, "BK0" and the board number
  std::string yield;  // the period's yield as the answer writes it
};

// The boards of a ranking answer in ranking order (index 0 is position 1). The answer is
// URL-decoded, then cut between the callback and the first "})"; without them, no board.
std::vector<Board> CutBoardRanking(std::string_view answer, std::string_view period);

// The ranking for `period`; nothing when the request failed or the answer lacks its callback.
std::optional<std::vector<Board>> FetchBoardRanking(const net::PortalUrls& urls,
                                                    std::string_view period,
                                                    net::TransferControl* control);

}  // namespace portal
