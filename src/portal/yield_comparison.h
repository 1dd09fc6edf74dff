#pragma once

// The cumulative-yield comparison on PORTAL_API: the daily cumulative yield of one or two funds
// over a period. The longest period gives some thousand daily points per fund, a few hundred KB.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// One day of the series: its date text as the answer has it, and the value of each code read,
// in the order the codes were given.
struct ComparisonPoint {
  std::string date;
  std::vector<double> values;
};
struct ComparisonSeries {
  std::vector<ComparisonPoint> points;  // in answer order
};

// What lies between the escaped "dataProvider" array's opening and the end of the string that
// holds it, with every backslash removed. Empty when either marker is missing.
std::string CutComparisonSeries(std::string_view answer);

// The days of a cut series: every `{ "date": "` up to the first closing brace after it. The date
// runs to `","`; the value of each of `codes` from the code, a quotation mark and a colon to a
// comma and a quotation mark, the last code's to the closing brace. A missing or non-numeric
// value is the leading number of its text, 0 without one.
ComparisonSeries CutComparisonPoints(std::string_view series,
                                     const std::vector<std::string>& codes);

// The series for `codes` (one code or two joined by ",") over `period`, with the values of
// `read`; nothing when the request failed or the answer lacks the series' markers.
std::optional<ComparisonSeries> FetchComparisonSeries(const net::PortalUrls& urls,
                                                      std::string_view codes,
                                                      std::string_view period,
                                                      const std::vector<std::string>& read,
                                                      net::TransferControl* control);

}  // namespace portal
