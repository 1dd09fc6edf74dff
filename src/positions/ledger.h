#pragma once

// The arithmetic of the positions ledger, in exact decimals (base/decimal.h): shares in
// hundredths, prices (NAV) in ten-thousandths, money in fen, day changes in ten-thousandths of a
// percent. Every rounding is half away from zero at the stated place; every sum and product is
// checked, none wraps. Plain values: no ui, no app.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace positions {

inline constexpr int kShareDecimals = 2;
inline constexpr int kPriceDecimals = 4;

// A cash dividend pays `amount` and leaves the shares; a reinvested dividend buys `shares` at
// `price` with the dividend, so the shares grow and the cost stays. A split turns each share
// held into `ratio` shares (round(shares × ratio, 0.01)) and leaves the cost.
enum class RecordKind { kBuy, kSell, kCashDividend, kReinvest, kSplit };

// A split ratio in hundred-millionths (new shares per share), below 10^4.
inline constexpr int kRatioDecimals = 8;
inline constexpr std::int64_t kRatioLimit = 1'000'000'000'000;

// The account every record belongs to unless the user chose another: "默认账户".
inline constexpr std::int64_t kDefaultAccount = 1;

// One buy, sale or dividend as the user entered it.
struct Record {
  std::string day;  // YYYY-MM-DD
  std::string code;
  std::string name;
  RecordKind kind = RecordKind::kBuy;
  std::int64_t shares = 0;  // hundredths of a share
  std::int64_t price = 0;   // ten-thousandths of a yuan
  std::int64_t fee = 0;     // fen, of a buy or sale
  // fen: of a cash dividend; of a buy made by amount, the money paid, fee included (its cost),
  // 0 for a buy entered by shares and NAV, whose cost is shares × price + fee.
  std::int64_t amount = 0;
  std::int64_t ratio = 0;     // hundred-millionths, of a split
  bool from_history = false;  // a dividend or split the program made from the fund's history
  // The 定投 plan whose period made it and the period's day; 0 and "" for any other record.
  std::int64_t plan = 0;
  std::string period{};
  std::int64_t id = 0;  // the ledger file's number for it; 0 until stored
  std::int64_t account = kDefaultAccount;

  bool operator==(const Record&) const = default;
};

// What the records of one fund add up to.
struct Position {
  std::string code;
  std::string name;
  std::int64_t shares = 0;          // hundredths
  std::int64_t cost = 0;            // fen, fees included
  std::int64_t realised = 0;        // fen, from sales, their fees counted
  std::int64_t cash_dividends = 0;  // fen paid out
  std::int64_t dividends = 0;       // fen, paid out and reinvested
};

// The fund's latest figures as cut from its main page.
struct Quote {
  std::string unit_nav;  // "1.2340"
  std::string nav_date;
  std::string day_change;  // "0.52%"
};

// What the ledger holds exactly: shares below 10^10, a NAV below 10^5 yuan and money below
// 10^13 yuan. A record beyond them is refused, and so is one that would take its fund's
// position or the total of the funds held beyond them.
inline constexpr std::int64_t kShareLimit = 1'000'000'000'000;      // hundredths of a share
inline constexpr std::int64_t kPriceLimit = 1'000'000'000;          // ten-thousandths of a yuan
inline constexpr std::int64_t kMoneyLimit = 1'000'000'000'000'000;  // fen

// The record's shares, price, fee and amount, and the money it moves, within the ledger's
// limits.
bool RecordFits(const Record& record);
// `records` and then `record` stay within the ledger's limits: the record itself, the position
// of its fund in its account, every position they make, and the cost and dividends summed over
// the funds still held.
bool Fits(const std::vector<Record>& records, const Record& record);

// round(shares × price, fen); shares below kShareLimit and a price below kPriceLimit.
std::int64_t Amount(std::int64_t shares, std::int64_t price);
// What the record moves in fen: a buy's cost (its amount paid, else shares × price + fee) as a
// negative, a sale's proceeds
// (amount - fee), a cash dividend; 0 for a reinvested dividend, which stays in the fund, and for
// a split. The record fits (RecordFits).
std::int64_t CashFlowOf(const Record& record);
// Applies one record to the position of its fund; a sale of more than is held, a split of a fund
// not held, and a record
// that does not fit or would take the position beyond the ledger's limits, are refused (false,
// nothing changed).
bool Apply(Position& position, const Record& record);
// The positions the records make, replayed in day order (InDayOrder, trades.h) without the
// program's dividends a dividend the user entered replaces, each account's apart, then the same
// fund's positions of several accounts added into one (shares, cost, profits: none counted
// twice); in the order each fund was first bought, sold-out funds staying in the list with 0
// shares. A record that cannot apply (a sale of more than its account holds on its day)
// changes nothing.
std::vector<Position> Replay(const std::vector<Record>& records);

// One row's figures; money in fen, the rate in hundredths of a percent. A figure that needs
// the quote is empty without one, and so is one beyond the ledger's limits (a NAV of 10^5 yuan
// or more, a sum of 10^13 yuan or more). The held profit is the value less the cost, plus the
// cash dividends paid.
struct RowFigures {
  std::optional<std::int64_t> cost = 0;
  std::optional<std::int64_t> cost_price;     // ten-thousandths
  std::optional<std::int64_t> today_profit;   // fen
  std::optional<std::int64_t> held_profit;    // fen
  std::optional<std::int64_t> rate;           // hundredths of a percent
  std::optional<std::int64_t> dividends = 0;  // fen
};
RowFigures FiguresOf(const Position& position, const Quote* quote);
// The total row: the cost and dividends of every row, today's and held profit summed over the
// rows that have them, and the rate the total's own held profit and cost give.
RowFigures TotalOf(const std::vector<RowFigures>& rows);

// Text of a rate in hundredths of a percent: "12.34%".
std::string RateText(std::int64_t rate);

}  // namespace positions
