#pragma once

// The portal's base URLs and the exact request texts of its endpoints. Query texts, callback
// names, cache-busting literals and trailing blanks are fixed: the portal answers these forms,
// so they are reproduced exactly rather than generated.
//
// Each endpoint has a body cap: well above the largest answer the portal sends there, far below
// the general cap, so that a huge or hostile answer is refused before it costs time and memory.
// Loaders pass it as HttpFetchOptions::max_body_bytes (or to HttpGet).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace net {

struct PortalUrls {
  // Scheme and host, no trailing "/".
  std::string portal_main;
  std::string portal_api;
  std::string portal_f10;
  std::string portal_push;
  std::string portal_suggest;
  std::string portal_data;
  std::string forum_base;
  std::string step_base;

  // The values built into this program.
  static PortalUrls BuiltIn();
  // Built-in values, each replaced by `override_lookup(name)` ("PORTAL_MAIN", ...) when that
  // gives a non-blank text. A trailing "/" of an override is dropped.
  static PortalUrls Load(const std::function<std::string(std::string_view key)>& override_lookup);
};

// The names of the eight base URLs, as used for overrides.
inline constexpr std::string_view kPortalUrlKeys[] = {
    "PORTAL_MAIN",    "PORTAL_API",  "PORTAL_F10", "PORTAL_PUSH",
    "PORTAL_SUGGEST", "PORTAL_DATA", "FORUM_BASE", "STEP_BASE"};

// FundGuide fund lists on PORTAL_MAIN. Sort codes: "r", "z", "1y", "3y", "6y", "jn", "1n",
// "2n", "3n"; orders "desc" and "asc". Pages count from 1. A page holds 20 records, a few KB.
inline constexpr std::size_t kFundListMaxBytes = 1u << 20;
inline constexpr std::string_view kFundGuidePath = "/data/FundGuideapi.aspx";
std::string RankingListUrl(const PortalUrls& urls, std::string_view sort_code,
                           std::string_view order);
std::string FiveStarCountUrl(const PortalUrls& urls);
std::string FiveStarPageUrl(const PortalUrls& urls, int page);
std::string FiveStarSortedPageUrl(const PortalUrls& urls, std::string_view sort_code,
                                  std::string_view order, int page);
std::string AllFundsTotalsUrl(const PortalUrls& urls);
std::string AllFundsPageUrl(const PortalUrls& urls, int page);
std::string BoardFundsCountUrl(const PortalUrls& urls, long long board_number);
std::string BoardFundsPageUrl(const PortalUrls& urls, long long board_number,
                              std::string_view sort_code, std::string_view order, int page);

// Board ranking on PORTAL_API, with its Referer line (no CR LF). Some hundred boards, tens of KB.
inline constexpr std::size_t kBoardRankingMaxBytes = 2u << 20;
inline constexpr std::string_view kBoardRankingCallback =
    "jQuery18304518781773802629_1629802165289";
std::string BoardRankingUrl(const PortalUrls& urls, std::string_view period_code);
std::string BoardRankingReferer(const PortalUrls& urls);

// Fund search on PORTAL_SUGGEST; `encoded_key` is the search text already percent-encoded. The
// answer lists a few dozen funds.
inline constexpr std::size_t kFundSearchMaxBytes = 1u << 20;
inline constexpr std::string_view kFundSearchCallback = "jQuery18304481644478480933_1628571546744";
std::string FundSearchUrl(const PortalUrls& urls, std::string_view encoded_key);

// A fund's main page on PORTAL_MAIN (the text ends with one blank); some hundred KB.
inline constexpr std::size_t kFundMainPageMaxBytes = 4u << 20;
std::string FundMainPageUrl(const PortalUrls& urls, std::string_view code);

// Profile pages on PORTAL_F10: size and risk pages end with one blank, the manager page not.
// Each is a page of some ten to a hundred KB.
inline constexpr std::size_t kFundProfilePageMaxBytes = 4u << 20;
std::string FundSizePageUrl(const PortalUrls& urls, std::string_view code);
std::string FundManagerPageUrl(const PortalUrls& urls, std::string_view code);
std::string FundRiskPageUrl(const PortalUrls& urls, std::string_view code);

// Rating request on PORTAL_API and its three header lines (CR LF between, none after). At most
// 50 ratings, a few KB.
inline constexpr std::size_t kFundRatingMaxBytes = 1u << 20;
inline constexpr std::string_view kFundRatingCallback = "jQuery18306281225327741644_1628052779735";
std::string FundRatingUrl(const PortalUrls& urls, std::string_view code);
std::string FundRatingHeaders(const PortalUrls& urls, std::string_view code);

// Top-ten holdings archive on PORTAL_F10 and the stock quotes on PORTAL_PUSH; `secids` is the
// comma-separated identifier list without a final comma. The archive holds one quarter's ten
// holdings, the quotes ten stocks: each a few KB.
inline constexpr std::size_t kHoldingsArchiveMaxBytes = 2u << 20;
inline constexpr std::size_t kStockQuotesMaxBytes = 1u << 20;
inline constexpr std::string_view kStockQuotesCallback = "jQuery18306105309008007134_1628074711632";
std::string HoldingsArchiveUrl(const PortalUrls& urls, std::string_view code);
std::string StockQuotesUrl(const PortalUrls& urls, std::string_view secids);

// A stock's shareholder-count page on PORTAL_DATA (shown in the web view).
std::string ShareholderPageUrl(const PortalUrls& urls, std::string_view stock_code);

// Cumulative-yield comparison on PORTAL_API and its Referer line (no CR LF). The longest period
// gives some thousand daily points per fund, a few hundred KB.
inline constexpr std::size_t kYieldComparisonMaxBytes = 4u << 20;
inline constexpr std::string_view kYieldCompareCallback = "jQuery18307015471687350752";
std::string YieldComparisonUrl(const PortalUrls& urls, std::string_view codes,
                               std::string_view period);
std::string YieldComparisonReferer(const PortalUrls& urls);

// Side tasks: the forum's task page and the step service (the latter ends with one blank). The
// task page is a forum page of some hundred KB, the step service answers a short text.
inline constexpr std::size_t kForumTaskMaxBytes = 4u << 20;
inline constexpr std::size_t kStepPostingMaxBytes = 1u << 20;
std::string ForumTaskUrl(const PortalUrls& urls);
std::string StepPostingUrl(const PortalUrls& urls);

}  // namespace net
