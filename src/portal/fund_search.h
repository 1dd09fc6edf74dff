#pragma once

// Fund search on PORTAL_SUGGEST: the funds whose code or name matches a text. The answer lists
// a few dozen funds.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

inline constexpr std::size_t kFundSearchMaxBytes = 1u << 20;
inline constexpr std::string_view kFundSearchCallback = "jQuery18304481644478480933_1628571546744";
// `encoded_key` is the search text already percent-encoded.
std::string FundSearchUrl(const net::PortalUrls& urls, std::string_view encoded_key);

struct SearchHit {
  std::string name;  // NAME
  std::string code;  // _id
};

// The hits of an answer in answer order, cut between the callback and the first "]})".
std::vector<SearchHit> CutSearchHits(std::string_view answer);

// The hits for `text` (percent-encoded here); nothing when the request failed or the answer
// lacks its callback.
std::optional<std::vector<SearchHit>> FetchSearchHits(const net::PortalUrls& urls,
                                                      std::string_view text,
                                                      net::TransferControl* control);

// The name of fund `code`: the hit of a search for the code whose _id is the code; nothing when
// the request failed or no hit is that fund.
std::optional<std::string> FetchFundName(const net::PortalUrls& urls, const std::string& code,
                                         net::TransferControl* control);

}  // namespace portal
