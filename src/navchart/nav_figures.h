#pragma once

// What the NAV history window shows of a history, as texts: the points of a period, the
// period's change, the table's cells, and the days of the user's trades. Plain values.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/nav_chart_window.h"
#include "base/nav_history.h"
#include "positions/ledger.h"

namespace navchart {

// The first day of `period` before `latest` (YYYY-MM-DD): that day less 1, 3 or 6 months or 1
// or 3 years, in calendar arithmetic (a day past a month's end becomes its last day); empty for
// kAll or an unreadable day.
std::string PeriodFirstDay(std::string_view latest, app::NavPeriod period);

// The points of `period`: those on or after PeriodFirstDay of the last point's day; all of
// them for kAll.
std::span<const base::NavPoint> PeriodPoints(const std::vector<base::NavPoint>& points,
                                             app::NavPeriod period);

// The change over `shown` in hundredths of a percent: the last accumulated NAV over the first
// (of the points that have one) less 1, rounded half away from zero; nothing without such
// points.
std::optional<std::int64_t> PeriodChange(std::span<const base::NavPoint> shown);
// "区间涨跌 1.23%", "区间涨跌 -0.50%"; "区间涨跌 --" without a change.
std::string PeriodChangeText(std::span<const base::NavPoint> shown);

// The day growth as the table shows it ("0.52%"): empty where the answer has none, or where it
// is 0 on the history's first day (which has no day before it).
std::string GrowthText(const base::NavPoint& point, bool first_of_history);
// A NAV with its four decimals.
std::string NavText(std::int64_t nav);

// The table's cells of one point, in NavTableColumn order.
std::vector<std::string> TableRow(const base::NavPoint& point, bool first_of_history);

// A trade drawn on the chart.
enum class MarkKind { kBuy, kSale, kEvent };
struct TradeMark {
  std::string day;  // YYYY-MM-DD
  MarkKind kind = MarkKind::kBuy;
  bool operator==(const TradeMark&) const = default;
};
// The buy and sale days of fund `code` in the ledger's records, in record order (a day once per
// kind); dividends recorded in the ledger are not trades.
std::vector<TradeMark> TradeMarksOf(const std::vector<positions::Record>& records,
                                    std::string_view code);
// The dividend and split days of `points` as kEvent marks.
std::vector<TradeMark> EventMarksOf(std::span<const base::NavPoint> points);

}  // namespace navchart
