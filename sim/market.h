#pragma once

// A deterministic synthetic fund market: the same options always give the same funds, codes,
// figures and board memberships.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Growth periods in the order of the portal's sort codes "r", "z", "1y", "3y", "6y", "jn", "1n",
// "2n", "3n".
inline constexpr int kPeriodCount = 9;
inline constexpr std::array<std::string_view, kPeriodCount> kSortCodes = {
    "r", "z", "1y", "3y", "6y", "jn", "1n", "2n", "3n"};
// Index into kSortCodes, or -1 for an unknown code.
int PeriodOfSortCode(std::string_view sort_code);

struct MarketOptions {
  int funds = 3000;
  // More than the board window's 120 positions, so that every position fills.
  int boards = 130;
  std::uint64_t seed = 20210820;
  // Date of the latest net values, yyyy-mm-dd.
  std::string as_of = "2021-08-20";
  // With a value above 0, every fund's NAV history (nav_history.h) covers this many years back
  // from its NAV date, whatever its inception date: long histories for benchmarks.
  int history_years = 0;
};

struct Fund {
  std::string code;          // six digits, unique
  std::string name;          // never holds a comma
  std::string abbreviation;  // pinyin initials of the name
  std::string type;          // 股票型, 混合型, 债券型, 指数型, QDII, FOF
  // Growth in percent per period (kSortCodes order); empty when the fund is too young or the
  // portal has no value.
  std::array<std::optional<double>, kPeriodCount> growth;
  std::optional<double> since_inception;
  std::string inception_date;
  std::string nav_date;
  double unit_nav = 1;
  double accumulated_nav = 1;
  int rating = 0;  // 0 unrated, else 1..5 stars
  std::string fee;
  std::string discounted_fee;
};

struct Board {
  int number = 0;    // the digits after "BK0"
  std::string code;  // "BK0" + number
  std::string name;
  std::vector<int> funds;  // indices into Market::funds(), ascending
};

class Market {
 public:
  explicit Market(const MarketOptions& options = {});

  const std::vector<Fund>& funds() const { return funds_; }
  const std::vector<Board>& boards() const { return boards_; }
  const MarketOptions& options() const { return options_; }
  const Board* FindBoard(std::string_view code) const;

  // The fund as one FundGuide record: 22 comma-separated fields (0 code, 1 name,
  // 2 abbreviation, 3 type, 4 this year, 5 week, 6 month, 7 three months, 8 six months, 9 one
  // year, 10 two years, 11 three years, 12 since inception, 13 inception date, 14 buyable,
  // 15 net-value date, 16 unit net value, 17 day, 18 accumulated net value, 19 fee,
  // 20 discounted fee, 21 discount flag 0 or 1).
  static std::string FundGuideRecord(const Fund& fund);

 private:
  MarketOptions options_;
  std::vector<Fund> funds_;
  std::vector<Board> boards_;
};

// Growth figures as the portal writes them: two decimals.
std::string FormatGrowth(const std::optional<double>& value);

}  // namespace sim
