#pragma once

// A fund's whole NAV history on PORTAL_MAIN: one JavaScript answer of `var NAME = VALUE;`
// statements with comments between them, of which this reads fS_name, fS_code, fund_Rate,
// fund_minsg, Data_netWorthTrend and Data_ACWorthTrend and ignores the rest. Each value is cut
// out at its variable's marker and read with the literal reader; nothing of the text is ever
// executed. Twenty years of a fund take some 450 KB.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/nav_history.h"
#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

inline constexpr std::size_t kNavHistoryMaxBytes = 16u << 20;

// `local_time` is the local time as 14 digits, yyyyMMddHHmmss.
std::string NavHistoryUrl(const net::PortalUrls& urls, std::string_view code,
                          std::string_view local_time);
// The machine's local time now as yyyyMMddHHmmss.
std::string LocalTimeDigits();

// The history an answer holds. A point's day is its `x` (the day's 00:00 in UTC+8, in ms since
// the epoch) read in UTC+8 whatever the machine's zone; its NAVs are read exactly to four
// decimals (numbers or numeric texts), and a cash dividend ("分红：每份派现金0.0500元") or a
// split ("拆分：每份基金份额折算1.0234份") is read from its unitMoney text, which is kept as it
// stands. The accumulated NAV is the Data_ACWorthTrend value of the same day, missing where that
// is null or absent. Points without a readable day or a unit NAV above 0 are left out, as is an
// accumulated NAV of 0 or below; the points come oldest first, one per day (the last of a
// repeated day). Nothing when the answer has no Data_netWorthTrend array with a point in it.
std::optional<base::NavHistory> CutNavHistory(std::string_view answer);

// The history of fund `code`; nothing when the request failed (a 404 for a code the portal does
// not know), the answer holds none, or it names another fund.
std::optional<base::NavHistory> FetchNavHistory(const net::PortalUrls& urls, std::string_view code,
                                                net::TransferControl* control);

}  // namespace portal
