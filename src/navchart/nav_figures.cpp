#include "navchart/nav_figures.h"

#include <algorithm>
#include <chrono>

#include "base/decimal.h"

namespace navchart {

namespace {

int MonthsBack(app::NavPeriod period) {
  switch (period) {
    case app::NavPeriod::kMonth1:
      return 1;
    case app::NavPeriod::kMonth3:
      return 3;
    case app::NavPeriod::kMonth6:
      return 6;
    case app::NavPeriod::kYear1:
      return 12;
    case app::NavPeriod::kYear3:
      return 36;
    case app::NavPeriod::kAll:
      break;
  }
  return 0;
}

}  // namespace

std::string PeriodFirstDay(std::string_view latest, app::NavPeriod period) {
  using namespace std::chrono;
  const int months_back = MonthsBack(period);
  const std::optional<std::int32_t> number = base::DayNumber(latest);
  if (months_back == 0 || !number) return {};
  year_month_day first = year_month_day{sys_days{days{*number}}} - months{months_back};
  if (!first.ok()) first = year_month_day_last(first.year(), month_day_last(first.month()));
  const std::int32_t first_number = sys_days{first}.time_since_epoch().count();
  if (first_number < base::kFirstDayNumber) return {};
  return base::DayText(first_number);
}

std::span<const base::NavPoint> PeriodPoints(const std::vector<base::NavPoint>& points,
                                             app::NavPeriod period) {
  std::span<const base::NavPoint> all(points);
  if (points.empty()) return all;
  const std::string first = PeriodFirstDay(points.back().day, period);
  if (first.empty()) return all;
  // Days are YYYY-MM-DD, so their texts sort as the days do.
  const auto from = std::lower_bound(
      points.begin(), points.end(), first,
      [](const base::NavPoint& point, const std::string& day) { return point.day < day; });
  return all.subspan(static_cast<size_t>(from - points.begin()));
}

std::optional<std::int64_t> PeriodChange(std::span<const base::NavPoint> shown) {
  const auto has = [](const base::NavPoint& point) { return point.accumulated_nav.has_value(); };
  const auto first = std::find_if(shown.begin(), shown.end(), has);
  const auto last = std::find_if(shown.rbegin(), shown.rend(), has);
  if (first == shown.end() || *first->accumulated_nav <= 0) return std::nullopt;
  // (last / first − 1) × 10^4 hundredths of a percent.
  const __int128 difference =
      static_cast<__int128>(*last->accumulated_nav) - *first->accumulated_nav;
  return base::RoundDivide(difference * 10000, *first->accumulated_nav);
}

std::string PeriodChangeText(std::span<const base::NavPoint> shown) {
  const std::optional<std::int64_t> change = PeriodChange(shown);
  return "区间涨跌 " + (change ? base::FormatScaled(*change, 2) + "%" : std::string("--"));
}

std::string GrowthText(const base::NavPoint& point, bool first_of_history) {
  if (!point.day_growth || (first_of_history && *point.day_growth == 0)) return {};
  return base::ScaledText(*point.day_growth, base::kNavDecimals, 2) + "%";
}

std::string NavText(std::int64_t nav) { return base::FormatScaled(nav, base::kNavDecimals); }

std::vector<std::string> TableRow(const base::NavPoint& point, bool first_of_history) {
  std::vector<std::string> row(app::kNavTableColumnCount);
  row[app::kNavDay] = point.day;
  row[app::kNavUnit] = NavText(point.unit_nav);
  if (point.accumulated_nav) row[app::kNavAccumulated] = NavText(*point.accumulated_nav);
  row[app::kNavGrowth] = GrowthText(point, first_of_history);
  row[app::kNavUnitMoney] = point.unit_money;
  return row;
}

std::vector<TradeMark> TradeMarksOf(const std::vector<positions::Record>& records,
                                    std::string_view code) {
  std::vector<TradeMark> marks;
  for (const positions::Record& record : records) {
    if (record.code != code) continue;
    MarkKind kind;
    if (record.kind == positions::RecordKind::kBuy) {
      kind = MarkKind::kBuy;
    } else if (record.kind == positions::RecordKind::kSell) {
      kind = MarkKind::kSale;
    } else {
      continue;
    }
    TradeMark mark{record.day, kind};
    if (std::find(marks.begin(), marks.end(), mark) == marks.end()) marks.push_back(mark);
  }
  return marks;
}

std::vector<TradeMark> EventMarksOf(std::span<const base::NavPoint> points) {
  std::vector<TradeMark> marks;
  for (const base::NavPoint& point : points) {
    if (point.dividend > 0 || point.split_ratio > 0) marks.push_back({point.day, MarkKind::kEvent});
  }
  return marks;
}

}  // namespace navchart
