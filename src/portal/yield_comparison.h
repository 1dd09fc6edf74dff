#pragma once

// The cumulative-yield comparison on PORTAL_API: the daily cumulative yield of one or two funds
// over a period. The longest period gives some thousand daily points per fund, a few hundred KB.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

inline constexpr std::size_t kYieldComparisonMaxBytes = 4u << 20;
inline constexpr std::string_view kYieldCompareCallback = "jQuery18307015471687350752";
// `codes` is one code or two joined by ",".
std::string YieldComparisonUrl(const net::PortalUrls& urls, std::string_view codes,
                               std::string_view period);
// The Referer line (no CR LF).
std::string YieldComparisonReferer(const net::PortalUrls& urls);

// The records of one answer, as the chart reads them: "{ "date": "...", "<code>":value...}"...
struct ComparisonSeries {
  std::string records;
};

// What lies between the escaped "dataProvider" array's opening and the end of the string that
// holds it, with every backslash removed. Empty when either marker is missing.
std::string CutComparisonSeries(std::string_view answer);

// The series for `codes` over `period`; nothing when the request failed or the answer lacks the
// series' markers.
std::optional<ComparisonSeries> FetchComparisonSeries(const net::PortalUrls& urls,
                                                      std::string_view codes,
                                                      std::string_view period,
                                                      net::TransferControl* control);

}  // namespace portal
