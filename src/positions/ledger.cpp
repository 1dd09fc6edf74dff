#include "positions/ledger.h"

#include <algorithm>

namespace positions {

namespace {

// Whole digits beyond this make values no user holds and would overflow the products.
constexpr size_t kMaxWholeDigits = 12;

std::int64_t Power10(int n) {
  std::int64_t value = 1;
  while (n-- > 0) value *= 10;
  return value;
}

// Digits, an optional point and decimals; scaled and rounded to `decimals`. `exact` refuses
// more decimals instead of rounding.
std::optional<std::int64_t> ParseUnsigned(std::string_view text, int decimals, bool exact) {
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() || whole.size() > kMaxWholeDigits) return std::nullopt;
  if (point != std::string_view::npos && fraction.empty()) return std::nullopt;
  auto digits = [](std::string_view part) {
    return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(whole) || !digits(fraction)) return std::nullopt;
  if (exact && fraction.size() > static_cast<size_t>(decimals)) return std::nullopt;
  std::int64_t value = 0;
  for (char c : whole) value = value * 10 + (c - '0');
  for (int i = 0; i < decimals; ++i) {
    value = value * 10 + (static_cast<size_t>(i) < fraction.size() ? fraction[i] - '0' : 0);
  }
  // Half away from zero: the first dropped digit decides.
  if (fraction.size() > static_cast<size_t>(decimals) && fraction[decimals] >= '5') ++value;
  return value;
}

}  // namespace

std::optional<std::int64_t> ParsePositive(std::string_view text, int decimals) {
  const std::optional<std::int64_t> value = ParseUnsigned(text, decimals, true);
  if (!value || *value <= 0) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseNonNegative(std::string_view text, int decimals) {
  return ParseUnsigned(text, decimals, true);
}

std::optional<std::int64_t> ParseSigned(std::string_view text, int decimals) {
  if (!text.empty() && text.back() == '%') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::optional<std::int64_t> value = ParseUnsigned(text, decimals, false);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

std::string FormatScaled(std::int64_t value, int decimals, bool sign) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const std::uint64_t unit = static_cast<std::uint64_t>(Power10(decimals));
  std::string text = std::to_string(magnitude / unit);
  if (decimals > 0) {
    std::string fraction = std::to_string(magnitude % unit);
    text += "." + std::string(decimals - fraction.size(), '0') + fraction;
  }
  if (negative) return "-" + text;
  return sign && value > 0 ? "+" + text : text;
}

std::int64_t RoundDivide(__int128 numerator, __int128 denominator) {
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  const bool negative = numerator < 0;
  const __int128 magnitude = negative ? -numerator : numerator;
  const __int128 quotient = (magnitude * 2 + denominator) / (denominator * 2);
  return static_cast<std::int64_t>(negative ? -quotient : quotient);
}

std::int64_t Amount(std::int64_t shares, std::int64_t price) {
  // hundredths × ten-thousandths = millionths of a yuan; fen are ten-thousandths of that.
  return RoundDivide(static_cast<__int128>(shares) * price,
                     Power10(kShareDecimals + kPriceDecimals - 2));
}

std::int64_t CashFlowOf(const Record& record) {
  switch (record.kind) {
    case RecordKind::kBuy:
      return -(Amount(record.shares, record.price) + record.fee);
    case RecordKind::kSell:
      return Amount(record.shares, record.price) - record.fee;
    case RecordKind::kCashDividend:
      return record.amount;
    case RecordKind::kReinvest:
      break;
  }
  return 0;
}

bool Apply(Position& position, const Record& record) {
  switch (record.kind) {
    case RecordKind::kBuy:
      position.shares += record.shares;
      position.cost -= CashFlowOf(record);
      return true;
    case RecordKind::kCashDividend:
      position.cash_dividends += record.amount;
      position.dividends += record.amount;
      return true;
    case RecordKind::kReinvest:
      position.shares += record.shares;
      position.dividends += Amount(record.shares, record.price);
      return true;
    case RecordKind::kSell:
      break;
  }
  if (record.shares > position.shares || position.shares <= 0) return false;
  const std::int64_t cost_part =
      RoundDivide(static_cast<__int128>(position.cost) * record.shares, position.shares);
  position.realised += CashFlowOf(record) - cost_part;
  position.cost -= cost_part;
  position.shares -= record.shares;
  return true;
}

std::vector<Position> Replay(const std::vector<Record>& records) {
  std::vector<Position> positions;
  for (const Record& record : records) {
    auto it = std::find_if(positions.begin(), positions.end(),
                           [&](const Position& p) { return p.code == record.code; });
    if (it == positions.end()) {
      positions.push_back({record.code, record.name});
      it = positions.end() - 1;
    }
    Apply(*it, record);
  }
  return positions;
}

RowFigures FiguresOf(const Position& position, const Quote* quote) {
  RowFigures figures;
  figures.cost = position.cost;
  figures.dividends = position.dividends;
  if (position.shares > 0) {
    // fen / hundredths = yuan per share; ten-thousandths of it.
    figures.cost_price = RoundDivide(static_cast<__int128>(position.cost) * Power10(kPriceDecimals),
                                     position.shares);
  }
  if (!quote) return figures;
  const std::optional<std::int64_t> nav = ParsePositive(quote->unit_nav, kPriceDecimals);
  if (!nav) return figures;
  figures.held_profit = Amount(position.shares, *nav) - position.cost + position.cash_dividends;
  if (position.cost != 0) {
    figures.rate = RoundDivide(static_cast<__int128>(*figures.held_profit) * 10000, position.cost);
  }
  // With c the day change in percent, yesterday's value was today's × 100 / (100 + c): today's
  // profit is shares × NAV × c / (100 + c). c is kept in ten-thousandths of a percent.
  const std::optional<std::int64_t> change = ParseSigned(quote->day_change, 4);
  constexpr std::int64_t kHundredPercent = std::int64_t{100} * 10000;
  if (change && kHundredPercent + *change > 0) {
    figures.today_profit =
        RoundDivide(static_cast<__int128>(position.shares) * *nav * *change,
                    static_cast<__int128>(Power10(kShareDecimals + kPriceDecimals - 2)) *
                        (kHundredPercent + *change));
  }
  return figures;
}

RowFigures TotalOf(const std::vector<RowFigures>& rows) {
  RowFigures total;
  for (const RowFigures& row : rows) {
    total.cost += row.cost;
    total.dividends += row.dividends;
    if (row.today_profit) total.today_profit = total.today_profit.value_or(0) + *row.today_profit;
    if (row.held_profit) total.held_profit = total.held_profit.value_or(0) + *row.held_profit;
  }
  // The row's own two figures give its rate, so that the three agree when some rows have no
  // quote yet (the status line says the profit is partial then).
  if (total.held_profit && total.cost != 0) {
    total.rate = RoundDivide(static_cast<__int128>(*total.held_profit) * 10000, total.cost);
  }
  return total;
}

std::string RateText(std::int64_t rate) { return FormatScaled(rate, 2) + "%"; }

}  // namespace positions
