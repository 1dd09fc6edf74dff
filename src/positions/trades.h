#pragma once

// Trades entered by what the user knows when trading (a buy by the money paid, a sale by the
// shares), confirmed at the NAV of the day the fund's history gives them; and the dividends and
// splits of a fund's history as records of the ledger. Plain values: no ui, no app.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/nav_history.h"
#include "positions/ledger.h"

namespace positions {

// A fee rate in ten-thousandths of a percent (base::kNavDecimals), from 0 to 10 %.
inline constexpr std::int64_t kFeeRateLimit = std::int64_t{10} * 10'000;
// The fee rate of a trade or plan whose rate was left empty: the fund's purchase fee as its
// history gives it when the trade confirms (0 without one), and 0 for a sale.
inline constexpr std::int64_t kFundFeeRate = -1;

// A buy by amount or a sale by shares, as entered and until its NAV is known; or a sale by its
// proceeds (`amount`, no shares), as a platform's bill gives it.
struct Trade {
  std::string day;  // YYYY-MM-DD, the day it was placed
  std::string code;
  std::string name;
  bool sell = false;
  std::int64_t amount = 0;    // fen paid, fee included, of a buy; fen received, of a sale by
                              // proceeds
  std::int64_t shares = 0;    // hundredths, of a sale
  std::int64_t fee_rate = 0;  // ten-thousandths of a percent, or kFundFeeRate
  bool after_close = false;   // placed at or after 15:00
  // The 定投 plan that made it and its period day; 0 and "" for a trade entered by hand.
  std::int64_t plan = 0;
  std::string period{};
  std::int64_t account = kDefaultAccount;

  bool operator==(const Trade&) const = default;
};

// The point of `history` whose NAV confirms a trade placed on `day`: the first on or after it,
// strictly after it when placed after 15:00. Nothing while the history holds no such day.
const base::NavPoint* ConfirmingPoint(const base::NavHistory& history, std::string_view day,
                                      bool after_close);

// The fee of a buy of `amount` fen at `fee_rate`: round(amount − amount / (1 + rate), fen).
// Nothing for an amount or rate outside the ledger's limits.
std::optional<std::int64_t> BuyFee(std::int64_t amount, std::int64_t fee_rate);
// The shares (hundredths) `net` fen buy at `nav`: round(net / nav, 0.01).
std::optional<std::int64_t> SharesFor(std::int64_t net, std::int64_t nav);
// The fee of a sale of gross `gross` fen at `fee_rate`: round(gross × rate, fen).
std::optional<std::int64_t> SaleFee(std::int64_t gross, std::int64_t fee_rate);
// The gross of a sale that left `proceeds` fen after its fee at `fee_rate`:
// round(proceeds / (1 − rate), fen).
std::optional<std::int64_t> GrossOfProceeds(std::int64_t proceeds, std::int64_t fee_rate);

enum class TradeState {
  kPending,    // the history does not yet hold the confirming day's NAV
  kConfirmed,  // `record` is the trade's record
  kRefused,    // its figures leave the ledger's limits or buy no share
};
struct Confirmation {
  TradeState state = TradeState::kPending;
  Record record;
};
// The trade confirmed at the NAV of its confirming day: a buy of round((amount − fee) / NAV,
// 0.01) shares at that NAV with its fee and cost `amount`, or a sale of its shares at that NAV
// with round(gross × rate, fen) as fee. A sale by proceeds sells round(gross / NAV, 0.01) shares
// of the gross GrossOfProceeds gives, its fee what the shares fetch above the proceeds (0 when
// the rounding of the shares leaves them below), so that it brings the proceeds as given.
// The record's day is the confirming day. Whether a sale
// is held is the ledger's to say (Fits).
Confirmation Confirm(const Trade& trade, const base::NavHistory& history);

// How a fund's dividends come: paid out, or bought back into the fund at that day's NAV.
enum class DividendMode { kCash, kReinvest };

// The records `history` makes for the fund of `code` held in `records`, in each account apart
// (each made record in its account): for each day of a
// dividend or split on which the fund is held (shares above 0 after the records of the days
// before it and the records already made), a cash dividend of round(shares × d, fen), a
// reinvested dividend of round(shares × d / NAV, 0.01) shares at that day's NAV, or a split
// of the ratio; all marked from_history. A day for which `records` already hold one of the
// program's or a dividend the user entered is skipped; so is a dividend worth less than a fen
// or a share's hundredth, and a day `removed` holds a record of the same kind for (the
// program's records the user deleted). `records` need not be in day order.
std::vector<Record> HistoryRecords(const std::vector<Record>& records,
                                   const base::NavHistory& history, DividendMode mode,
                                   const std::vector<Record>& removed = {});

// `records` without the program's dividends that a dividend the user entered for the same fund
// and day replaces; the rest in their order.
std::vector<Record> WithoutReplacedDividends(const std::vector<Record>& records);

// `records` in day order for replaying: stable, and on each day the history's dividends and
// splits (which go by the shares of the day before) first.
std::vector<Record> InDayOrder(std::vector<Record> records);

// The records a replay applies, in its order: WithoutReplacedDividends then InDayOrder, as
// pointers into `records`.
std::vector<const Record*> ReplayOrder(const std::vector<Record>& records);

}  // namespace positions
