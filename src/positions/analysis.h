#pragma once

// What the money of a ledger did day by day: for every trading day from the first record to the
// latest NAV, the value held, the principal put in, the day's profit in fen and a time-weighted
// index; their month and year totals, the monthly time-weighted returns and the summary.
// Plain values: no ui, no app; the caller picks the records (one account's or all of them).
//
// The trading days are the days of the NAV histories of the funds the records name, from the
// first one on or after the earliest record to the latest of those histories. A record on a
// day that is no trading day counts on the next one; a record after the latest NAV waits for
// it (not counted). On a day d a fund is worth V = round(shares at the close of d × unit NAV,
// fen), at its NAV of d, else (a fund that publishes late or skips a day) its latest NAV
// before d, else (a fund whose history starts after it was bought, or that has none) the price
// of its latest record so far. B is what the day's buys cost (fees included), P the day's sales'
// proceeds (fees taken off) plus its cash dividends. The day profit is
// V_d - V_d-1 - B_d + P_d over the funds, so the day profits of any span add up exactly to the
// money gained over it.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/nav_history.h"
#include "positions/ledger.h"

namespace positions {

// One trading day; money in fen.
struct AnalysisDay {
  std::string day;                // YYYY-MM-DD
  std::int64_t value = 0;         // of the funds held at the close
  std::int64_t principal = 0;     // buys' cost less sales' proceeds, so far
  std::int64_t profit = 0;        // the day's
  std::int64_t total_profit = 0;  // value + proceeds + cash dividends - buys, so far
  // The time-weighted index, 1 at the close of the first day: the product of
  // 1 + r_d = (V_d + P_d - B_d) / V_d-1 over the days held since. A day after the portfolio
  // was empty (V_d-1 = 0) keeps it, and the index goes on from that day's value; so does a day
  // whose buys' fees exceed all that was held (V_d + P_d - B_d <= 0), which no return
  // describes.
  double index = 1;
};

// The day profits of a month (1 to 12) or of a whole year (month 0); fen.
struct PeriodProfit {
  int year = 0;
  int month = 0;
  std::int64_t profit = 0;
};

// The time-weighted returns of a year's months and of the whole year, as fractions (0.0123 is
// 1.23 %): the ratio of the index at the period's last trading day to the index at the last
// trading day before it (1 before the first day), less 1. Empty for a period with no day that
// gives a return (before the first record, after the latest NAV, nothing held).
struct YearReturns {
  int year = 0;
  std::array<std::optional<double>, 12> months;
  std::optional<double> whole;
};

struct AnalysisSummary {
  std::int64_t value = 0;      // 总资产: the latest day's value, fen
  std::int64_t principal = 0;  // 累计投入: buys' cost less sales' proceeds, fen
  std::int64_t profit = 0;     // 累计收益: value + proceeds + cash dividends - buys, fen
  // Fractions. 累计收益率: the index less 1; 年化收益率: (1 + it)^(365 / D) - 1 over the D
  // calendar days from the first day to the last, empty below 30 days.
  std::optional<double> time_weighted;
  std::optional<double> annual_time_weighted;
  // 年化收益: the money-weighted rate (Xirr) of the buys, proceeds and cash dividends on the
  // days they count and the value on the last day.
  std::optional<double> money_weighted;
  // 最大回撤 of the index, 0 or more, with the days of its peak and trough; 年化波动 of the
  // index over 30 days or more: the same formulas as the risk figures of the yield chart.
  std::optional<double> max_drawdown;
  std::string peak_day;
  std::string trough_day;
  std::optional<double> volatility;
};

struct Analysis {
  std::vector<AnalysisDay> days;     // oldest first
  std::vector<PeriodProfit> months;  // each month with a trading day, oldest first
  std::vector<PeriodProfit> years;   // month 0
  std::vector<YearReturns> returns;  // each year with a trading day, oldest first
  AnalysisSummary summary;
  size_t waiting = 0;  // records after the latest NAV, not counted yet
  size_t refused = 0;  // records the ledger refuses (a sale of more than held, a bad day), left out
  // False when a sum of money leaves the 64-bit range: then nothing else is given.
  bool fits = true;
};

// The analysis of `records` (any order; a dividend the user entered replaces the program's of
// the same fund and day) over `histories` (by fund code).
Analysis Analyse(const std::vector<Record>& records,
                 const std::map<std::string, base::NavHistory>& histories);

}  // namespace positions
