#pragma once

// What the portal's detail pages say about one fund: size, rating, current manager, risk
// statistics and top holdings. Derived on demand from the market seed and the fund's place in
// the market, so a market of any size costs nothing until a fund is opened, and tests can ask
// for the truth behind every page.
//
// Funds are numbered by their index in Market::funds() (code order). Special cases:
// - index % 7 == 3: no current-manager table on the manager page (`manager` is empty);
// - index % 4 == 1: two managers share the current-manager row (both names, one cell);
// - index % 5 == 2: the risk page has two figures per statistic instead of three;
// - index % 9 == 4: four holdings instead of ten;
// - index % 11 == 6: the third holding is a stock whose name holds ")" (BracketedStocks());
// - rating 0 in the market: the rating answer's SZPJ3 member is empty;
// - funds younger than a period have no figure for it on the main page (PeriodTexts).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/market.h"
#include "sim/stocks.h"

namespace sim {

struct FundManager {
  std::string names;          // "张伟" or "张伟、李娜"
  std::string start_date;     // yyyy-mm-dd
  std::string tenure;         // "3年又120天", or "120天" within the first year
  std::string tenure_return;  // "45.67%"
  // The predecessor's tenure in days ("164天") and return; empty when the current manager has
  // run the fund from its start.
  std::string previous_tenure;
  std::string previous_return;
};

struct Holding {
  Stock stock;
  std::string share;      // of the fund's net assets, "9.87%"
  double shares_10k = 0;  // shares held, in units of ten thousand
  double value_10k = 0;   // market value, in ten thousand yuan
};

struct FundDetail {
  int index = -1;    // in Market::funds()
  std::string size;  // net assets in 亿元, "12.34"
  // The Shanghai Securities three-year rating as the rating answer writes it: "1".."5", or ""
  // for an unrated fund.
  std::string rating;
  std::optional<FundManager> manager;
  int stats_per_row = 3;
  // Risk statistics as the risk page shows them: the standard deviations ("15.23%") then the
  // Sharpe ratios ("1.23"), stats_per_row of each.
  std::vector<std::string> stats;
  std::string stats_date;                  // "截止至：" date of the risk table
  std::vector<Holding> holdings;           // largest share first
  std::string holdings_quarter;            // "2021年2季度"
  std::string report_date;                 // its last day, yyyy-mm-dd; also the size's date
  std::vector<Holding> previous_holdings;  // the quarter before, shown below the latest
};

// The detail of `fund`, which must belong to `market`.
FundDetail DetailOf(const Market& market, const Fund& fund);

// The fund of a code, or null.
const Fund* FindFund(const Market& market, std::string_view code);

// The period figures of the main page's 阶段涨幅 row: 近1周, 近1月, 近3月, 近6月, 今年来,
// 近1年, 近2年, 近3年 as "12.34%", up to the last period the fund has a figure for ("--" for a
// gap before it); a fund without any figure shows one "--".
std::vector<std::string> PeriodTexts(const Fund& fund);

// The main page's unit net value ("1.2345") and day change ("0.52%", "--" when unknown).
std::string UnitNavText(const Fund& fund);
std::string DayChangeText(const Fund& fund);

}  // namespace sim
