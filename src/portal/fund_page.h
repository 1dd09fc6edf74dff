#pragma once

// A fund's main page on PORTAL_MAIN (some hundred KB) and the headline values cut from it.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

inline constexpr std::size_t kFundMainPageMaxBytes = 4u << 20;
// The text ends with one blank.
std::string FundMainPageUrl(const net::PortalUrls& urls, std::string_view code);

// The values cut from a fund's main page; each is empty when its markers are missing.
struct FundSummary {
  std::string fund_type;
  std::string nav_date;
  std::string unit_nav;
  std::string day_change;
  // 近1周, 近1月, 近3月, 近6月, 今年来, 近一年, 近2年, 近3年; a period the page does not list
  // stays empty.
  std::array<std::string, 8> periods;
  // The page holds its net-value or its period-return row: a page without either (an error or
  // maintenance page sent as a normal answer) is no fund page.
  bool marked = false;
};

FundSummary CutFundSummary(std::string_view page);

// The main page of fund `code`, cut; nothing when the request failed. Each value has its own
// markers, so a page that lacks some still gives the others.
std::optional<FundSummary> FetchFundSummary(const net::PortalUrls& urls, std::string_view code,
                                            net::TransferControl* control);

}  // namespace portal
