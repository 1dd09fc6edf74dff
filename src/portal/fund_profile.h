#pragma once

// A fund's profile pages: the size, manager and risk pages on PORTAL_F10 (each some ten to a
// hundred KB) and the rating answer on PORTAL_API (at most 50 ratings, a few KB), with their cuts.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

// Size and risk pages end with one blank, the manager page not.
inline constexpr std::size_t kFundProfilePageMaxBytes = 4u << 20;
std::string FundSizePageUrl(const net::PortalUrls& urls, std::string_view code);
std::string FundManagerPageUrl(const net::PortalUrls& urls, std::string_view code);
std::string FundRiskPageUrl(const net::PortalUrls& urls, std::string_view code);

// The rating request and its three header lines (CR LF between, none after).
inline constexpr std::size_t kFundRatingMaxBytes = 1u << 20;
inline constexpr std::string_view kFundRatingCallback = "jQuery18306281225327741644_1628052779735";
std::string FundRatingUrl(const net::PortalUrls& urls, std::string_view code);
std::string FundRatingHeaders(const net::PortalUrls& urls, std::string_view code);

// The page cuts; each gives empty texts when its markers are missing.
std::string CutFundSize(std::string_view page);
struct ManagerFigures {
  std::string tenure_return;
  std::string tenure;
};
ManagerFigures CutManagerFigures(std::string_view page);
// "0" when the rating is empty.
std::string CutRating(std::string_view answer);
// The statistics in page order; at most the six the grid has columns for.
std::vector<std::string> CutRiskStatistics(std::string_view page);

// The four pages of one fund, each fetched and cut under `control`, on any thread. A page whose
// request failed (net::AnswerArrived) or whose answer lacks the marks of its kind of page gives
// nothing, so that a caller can tell a failed page from one that says nothing: the size page
// must hold its size row, the rating answer its callback, the risk page its statistics table;
// the manager page must be a whole page (a fund may have no current-manager table).
std::optional<std::string> FetchFundSize(const net::PortalUrls& urls, std::string_view code,
                                         net::TransferControl* control);
std::optional<ManagerFigures> FetchManagerFigures(const net::PortalUrls& urls,
                                                  std::string_view code,
                                                  net::TransferControl* control);
std::optional<std::string> FetchRating(const net::PortalUrls& urls, std::string_view code,
                                       net::TransferControl* control);
std::optional<std::vector<std::string>> FetchRiskStatistics(const net::PortalUrls& urls,
                                                            std::string_view code,
                                                            net::TransferControl* control);

}  // namespace portal
