#pragma once

// The portal's FundGuide fund lists on PORTAL_MAIN: the request texts of the ranking, five-star,
// all-funds and board lists, and the answer "var rankData = {datas:[...],allPages:..,
// datacount:..}" cut into a page. Sort codes: "r", "z", "1y", "3y", "6y", "jn", "1n", "2n", "3n";
// orders "desc" and "asc". Pages count from 1. A page holds 20 records, a few KB.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

inline constexpr std::size_t kFundListMaxBytes = 1u << 20;
inline constexpr std::string_view kFundGuidePath = "/data/FundGuideapi.aspx";

std::string RankingListUrl(const net::PortalUrls& urls, std::string_view sort_code,
                           std::string_view order);
std::string FiveStarCountUrl(const net::PortalUrls& urls);
std::string FiveStarPageUrl(const net::PortalUrls& urls, int page);
std::string FiveStarSortedPageUrl(const net::PortalUrls& urls, std::string_view sort_code,
                                  std::string_view order, int page);
std::string AllFundsTotalsUrl(const net::PortalUrls& urls);
std::string AllFundsPageUrl(const net::PortalUrls& urls, int page);
std::string BoardFundsCountUrl(const net::PortalUrls& urls, long long board_number);
std::string BoardFundsPageUrl(const net::PortalUrls& urls, long long board_number,
                              std::string_view sort_code, std::string_view order, int page);

// One list answer. The counts are the answer's numbers as they are (NaN when missing); the
// loader bounds them.
struct FundListPage {
  std::vector<std::string> records;  // comma-separated fund records, in answer order
  double all_pages = 0;
  double datacount = 0;
  bool marked = false;  // the answer's object holds "datas"
};

// The list object after the last "var rankData =". A body without the marker, or one whose
// literal does not parse, gives a page without records and unmarked.
FundListPage CutFundListPage(std::string_view body);

// The list at `url` under `control`; nothing when the request failed (net::AnswerArrived).
std::optional<FundListPage> FetchFundListPage(const std::string& url,
                                              net::TransferControl* control);

}  // namespace portal
