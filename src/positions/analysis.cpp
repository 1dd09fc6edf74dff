#include "positions/analysis.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "analysis/risk_figures.h"
#include "positions/annual_return.h"
#include "positions/trades.h"

namespace positions {

namespace {

namespace risk = ::analysis;

// Sums of money that stop at the first one leaving the 64-bit range.
struct Sums {
  bool fits = true;
  std::int64_t Add(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) fits = false;
    return sum;
  }
  std::int64_t Sub(std::int64_t a, std::int64_t b) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) fits = false;
    return difference;
  }
};

// A fund named by the records, walked day by day along its history.
struct Fund {
  const base::NavHistory* history = nullptr;
  size_t next_point = 0;          // the first point after the day walked to
  std::int64_t nav = 0;           // its latest usable NAV so far; 0 before the first
  std::int64_t record_price = 0;  // the price of its latest record so far
  Position position;

  // Moves to the close of `day`.
  void WalkTo(std::string_view day) {
    if (!history) return;
    const std::vector<base::NavPoint>& points = history->points;
    for (; next_point < points.size() && points[next_point].day <= day; ++next_point) {
      const std::int64_t unit = points[next_point].unit_nav;
      if (unit > 0 && unit < kPriceLimit) nav = unit;
    }
  }
  std::int64_t Price() const { return nav > 0 ? nav : record_price; }
};

Analysis Unfit() {
  Analysis analysis;
  analysis.fits = false;
  return analysis;
}

// Year and month of a YYYY-MM-DD text that DayNumber accepts.
int YearOf(std::string_view day) {
  return ((day[0] - '0') * 10 + (day[1] - '0')) * 100 + (day[2] - '0') * 10 + (day[3] - '0');
}
int MonthOf(std::string_view day) { return (day[5] - '0') * 10 + (day[6] - '0'); }

// The trading days: those of the funds' histories from `first` on, ascending, each once.
std::vector<std::string_view> TradingDays(const std::vector<Fund>& funds, std::string_view first) {
  std::vector<std::string_view> days;
  for (const Fund& fund : funds) {
    if (!fund.history) continue;
    for (const base::NavPoint& point : fund.history->points) {
      if (point.day >= first && base::DayNumber(point.day)) days.emplace_back(point.day);
    }
  }
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  return days;
}

// The month and year totals of the day profits and the returns of the index over them.
void AddPeriods(Analysis& analysis, const std::vector<bool>& gives_return) {
  const std::vector<AnalysisDay>& days = analysis.days;
  Sums sums;
  double month_base = 1;  // the index at the close of the last day before the period
  double year_base = 1;
  bool month_gives = false;
  bool year_gives = false;
  for (size_t i = 0; i < days.size(); ++i) {
    const int year = YearOf(days[i].day);
    const int month = MonthOf(days[i].day);
    if (analysis.years.empty() || analysis.years.back().year != year) {
      analysis.years.push_back({year, 0, 0});
      analysis.returns.push_back({year, {}, std::nullopt});
    }
    if (analysis.months.empty() || analysis.months.back().year != year ||
        analysis.months.back().month != month) {
      analysis.months.push_back({year, month, 0});
    }
    analysis.months.back().profit = sums.Add(analysis.months.back().profit, days[i].profit);
    analysis.years.back().profit = sums.Add(analysis.years.back().profit, days[i].profit);
    month_gives = month_gives || gives_return[i];
    year_gives = year_gives || gives_return[i];
    const bool month_ends = i + 1 == days.size() || MonthOf(days[i + 1].day) != month ||
                            YearOf(days[i + 1].day) != year;
    if (!month_ends) continue;
    YearReturns& returns = analysis.returns.back();
    if (month_gives) returns.months[month - 1] = days[i].index / month_base - 1;
    month_base = days[i].index;
    month_gives = false;
    if (i + 1 < days.size() && YearOf(days[i + 1].day) == year) continue;
    if (year_gives) returns.whole = days[i].index / year_base - 1;
    year_base = days[i].index;
    year_gives = false;
  }
  analysis.fits = analysis.fits && sums.fits;
}

void AddSummary(Analysis& analysis, const std::vector<CashFlow>& flows, bool gives_return) {
  const AnalysisDay& last = analysis.days.back();
  AnalysisSummary& summary = analysis.summary;
  summary.value = last.value;
  summary.principal = last.principal;
  summary.profit = last.total_profit;
  std::vector<CashFlow> money = flows;
  if (last.value > 0) money.push_back({*base::DayNumber(last.day), last.value});
  summary.money_weighted = Xirr(money);
  if (!gives_return) return;
  summary.time_weighted = last.index - 1;
  std::vector<double> index;
  index.reserve(analysis.days.size());
  for (const AnalysisDay& day : analysis.days) index.push_back(day.index);
  const risk::Fall fall = risk::LargestFall(index);
  summary.max_drawdown = fall.fall;
  summary.peak_day = analysis.days[fall.peak].day;
  summary.trough_day = analysis.days[fall.trough].day;
  const auto days =
      static_cast<double>(*base::DayNumber(last.day) - *base::DayNumber(analysis.days[0].day));
  if (days < risk::kMinAnnualDays) return;
  summary.annual_time_weighted = risk::Annualised(last.index, days);
  summary.volatility = risk::AnnualVolatility(index, days);
}

}  // namespace

Analysis Analyse(const std::vector<Record>& records,
                 const std::map<std::string, base::NavHistory>& histories) {
  Analysis analysis;
  // The records with a day, in the order they are replayed, each with its fund.
  std::vector<Record> ordered;
  for (Record& record : InDayOrder(WithoutReplacedDividends(records))) {
    if (base::DayNumber(record.day)) {
      ordered.push_back(std::move(record));
    } else {
      ++analysis.refused;
    }
  }
  if (ordered.empty()) return analysis;
  std::vector<Fund> funds;
  std::unordered_map<std::string_view, size_t> fund_of_code;
  std::vector<size_t> fund_of;
  fund_of.reserve(ordered.size());
  for (const Record& record : ordered) {
    const auto [at, added] = fund_of_code.try_emplace(record.code, funds.size());
    if (added) {
      Fund fund;
      const auto history = histories.find(record.code);
      if (history != histories.end()) fund.history = &history->second;
      fund.position = {record.code, record.name};
      funds.push_back(std::move(fund));
    }
    fund_of.push_back(at->second);
  }

  const std::vector<std::string_view> days = TradingDays(funds, ordered.front().day);
  Sums sums;
  std::int64_t buys = 0;
  std::int64_t proceeds = 0;
  std::int64_t dividends = 0;
  std::int64_t held = 0;  // the value at the close of the day before
  double index = 1;
  bool gives_any = false;
  std::vector<bool> gives_return;
  std::vector<CashFlow> flows;  // each day's net, for the money-weighted rate
  size_t next = 0;
  analysis.days.reserve(days.size());
  for (const std::string_view day : days) {
    std::int64_t bought = 0;  // B: the day's buys' cost
    std::int64_t paid = 0;    // P: the day's proceeds and cash dividends
    for (; next < ordered.size() && ordered[next].day <= day; ++next) {
      const Record& record = ordered[next];
      Fund& fund = funds[fund_of[next]];
      if (!Apply(fund.position, record)) {
        ++analysis.refused;
        continue;
      }
      if (record.price > 0 &&
          (record.kind == RecordKind::kBuy || record.kind == RecordKind::kSell ||
           record.kind == RecordKind::kReinvest)) {
        fund.record_price = record.price;
      }
      const std::int64_t flow = CashFlowOf(record);
      if (record.kind == RecordKind::kBuy) {
        bought = sums.Sub(bought, flow);
        buys = sums.Sub(buys, flow);
      } else if (record.kind == RecordKind::kSell) {
        proceeds = sums.Add(proceeds, flow);
      } else {
        dividends = sums.Add(dividends, flow);
      }
      if (record.kind != RecordKind::kBuy) paid = sums.Add(paid, flow);
    }
    std::int64_t value = 0;
    for (Fund& fund : funds) {
      fund.WalkTo(day);
      if (fund.position.shares > 0 && fund.Price() > 0) {
        value = sums.Add(value, Amount(fund.position.shares, fund.Price()));
      }
    }
    const std::int64_t net = sums.Sub(paid, bought);
    if (net != 0) flows.push_back({*base::DayNumber(day), net});
    const std::int64_t end = sums.Add(value, net);  // V_d + P_d - B_d
    const bool gives = held > 0 && end > 0;
    if (gives) index *= static_cast<double>(end) / static_cast<double>(held);
    gives_return.push_back(gives);
    gives_any = gives_any || gives;

    AnalysisDay& row = analysis.days.emplace_back();
    row.day = day;
    row.value = value;
    row.principal = sums.Sub(buys, proceeds);
    row.profit = sums.Sub(end, held);
    row.total_profit = sums.Sub(sums.Add(value, sums.Add(proceeds, dividends)), buys);
    row.index = index;
    held = value;
    if (!sums.fits) break;
  }
  for (; next < ordered.size(); ++next) ++analysis.waiting;
  if (!sums.fits) return Unfit();
  if (analysis.days.empty()) return analysis;
  AddPeriods(analysis, gives_return);
  if (!analysis.fits) return Unfit();
  AddSummary(analysis, flows, gives_any);
  return analysis;
}

}  // namespace positions
