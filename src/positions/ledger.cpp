#include "positions/ledger.h"

#include <algorithm>

#include "base/decimal.h"
#include "positions/trades.h"

namespace positions {

namespace {

bool MoneyFits(__int128 fen) { return fen > -kMoneyLimit && fen < kMoneyLimit; }

// `fen` when it is money the ledger holds.
std::optional<std::int64_t> Money(__int128 fen) {
  if (!MoneyFits(fen)) return std::nullopt;
  return static_cast<std::int64_t>(fen);
}

// `into` + `value`, when the sum is money the ledger holds; `into` is left as it was otherwise.
bool AddMoney(std::int64_t& into, std::int64_t value) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(into, value, &sum) || !MoneyFits(sum)) return false;
  into = sum;
  return true;
}

bool AddShares(std::int64_t& into, std::int64_t value) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(into, value, &sum) || sum < 0 || sum >= kShareLimit) return false;
  into = sum;
  return true;
}

}  // namespace

bool RecordFits(const Record& record) {
  if (record.shares < 0 || record.shares >= kShareLimit) return false;
  if (record.price < 0 || record.price >= kPriceLimit) return false;
  if (record.fee < 0 || !MoneyFits(record.fee)) return false;
  if (record.amount < 0 || !MoneyFits(record.amount)) return false;
  if (record.ratio < 0 || record.ratio >= kRatioLimit) return false;
  if (record.kind == RecordKind::kSplit && record.ratio == 0) return false;
  if (record.kind == RecordKind::kBuy && record.amount > 0 && record.fee > record.amount) {
    return false;
  }
  // Within these, the amount and the money moved cannot overflow.
  const __int128 amount = Amount(record.shares, record.price);
  return MoneyFits(amount) && MoneyFits(amount + record.fee);
}

bool Fits(const std::vector<Record>& records, const Record& record) {
  if (!RecordFits(record)) return false;
  // Its account's position of the fund takes it.
  std::vector<Record> account;
  for (const Record& r : records) {
    if (r.account == record.account && r.code == record.code) account.push_back(r);
  }
  std::vector<Position> own = Replay(account);
  Position held = own.empty() ? Position{record.code, record.name} : own.front();
  if (!Apply(held, record)) return false;
  // Every fund's position, of all accounts, with it.
  std::vector<Record> all = records;
  all.push_back(record);
  const std::vector<Position> positions = Replay(all);
  for (const Position& p : positions) {
    if (p.shares >= kShareLimit || !MoneyFits(p.cost) || !MoneyFits(p.dividends)) return false;
  }
  __int128 cost = 0;
  __int128 dividends = 0;
  for (const Position& position : positions) {
    if (position.shares <= 0) continue;
    cost += position.cost;
    dividends += position.dividends;
  }
  return MoneyFits(cost) && MoneyFits(dividends);
}

std::int64_t Amount(std::int64_t shares, std::int64_t price) {
  // hundredths × ten-thousandths = millionths of a yuan; fen are ten-thousandths of that. Below
  // the limits the product is below 10^21 and the amount below 10^17 fen: it always exists.
  return base::RoundDivide(static_cast<__int128>(shares) * price,
                           base::Power10(kShareDecimals + kPriceDecimals - 2))
      .value();
}

std::int64_t CashFlowOf(const Record& record) {
  switch (record.kind) {
    case RecordKind::kBuy:
      if (record.amount > 0) return -record.amount;
      return -(Amount(record.shares, record.price) + record.fee);
    case RecordKind::kSell:
      return Amount(record.shares, record.price) - record.fee;
    case RecordKind::kCashDividend:
      return record.amount;
    case RecordKind::kReinvest:
    case RecordKind::kSplit:
      break;
  }
  return 0;
}

bool Apply(Position& position, const Record& record) {
  if (!RecordFits(record)) return false;
  Position next = position;
  switch (record.kind) {
    case RecordKind::kBuy:
      if (!AddShares(next.shares, record.shares) || !AddMoney(next.cost, -CashFlowOf(record))) {
        return false;
      }
      break;
    case RecordKind::kCashDividend:
      if (!AddMoney(next.cash_dividends, record.amount) ||
          !AddMoney(next.dividends, record.amount)) {
        return false;
      }
      break;
    case RecordKind::kReinvest:
      if (!AddShares(next.shares, record.shares) ||
          !AddMoney(next.dividends, Amount(record.shares, record.price))) {
        return false;
      }
      break;
    case RecordKind::kSplit: {
      if (position.shares <= 0) return false;
      const std::optional<std::int64_t> shares = base::RoundDivide(
          static_cast<__int128>(position.shares) * record.ratio, base::Power10(kRatioDecimals));
      if (!shares || *shares <= 0 || *shares >= kShareLimit) return false;
      next.shares = *shares;
      break;
    }
    case RecordKind::kSell: {
      if (record.shares > position.shares || position.shares <= 0) return false;
      // At most the whole cost: it fits.
      const std::int64_t cost_part =
          *base::RoundDivide(static_cast<__int128>(position.cost) * record.shares, position.shares);
      const std::optional<std::int64_t> profit =
          Money(static_cast<__int128>(CashFlowOf(record)) - cost_part);
      if (!profit || !AddMoney(next.realised, *profit) || !AddMoney(next.cost, -cost_part) ||
          !AddShares(next.shares, -record.shares)) {
        return false;
      }
      break;
    }
  }
  position = next;
  return true;
}

std::vector<Position> Replay(const std::vector<Record>& records) {
  // Each account's positions apart, in the order each fund was first bought.
  std::vector<std::pair<std::int64_t, Position>> apart;
  for (const Record* replayed : ReplayOrder(records)) {
    const Record& record = *replayed;
    auto it = std::find_if(apart.begin(), apart.end(), [&](const auto& p) {
      return p.second.code == record.code && p.first == record.account;
    });
    if (it == apart.end()) {
      apart.push_back({record.account, {record.code, record.name}});
      it = apart.end() - 1;
    }
    Apply(it->second, record);
  }
  // Then the same fund's added; the sums stay within the limits an account's position keeps
  // only when the ledger's checks (Fits) let the records in.
  std::vector<Position> positions;
  for (const auto& entry : apart) {
    const Position& position = entry.second;
    auto it = std::find_if(positions.begin(), positions.end(),
                           [&](const Position& p) { return p.code == position.code; });
    if (it == positions.end()) {
      positions.push_back(position);
      continue;
    }
    it->shares += position.shares;
    it->cost += position.cost;
    it->realised += position.realised;
    it->cash_dividends += position.cash_dividends;
    it->dividends += position.dividends;
  }
  return positions;
}

RowFigures FiguresOf(const Position& position, const Quote* quote) {
  RowFigures figures;
  figures.cost = position.cost;
  figures.dividends = position.dividends;
  if (position.shares > 0) {
    // fen / hundredths = yuan per share; ten-thousandths of it.
    figures.cost_price = base::RoundDivide(
        static_cast<__int128>(position.cost) * base::Power10(kPriceDecimals), position.shares);
  }
  if (!quote) return figures;
  const std::optional<std::int64_t> nav = base::ParsePositive(quote->unit_nav, kPriceDecimals);
  if (!nav || *nav >= kPriceLimit || position.shares >= kShareLimit) return figures;
  figures.held_profit = Money(static_cast<__int128>(Amount(position.shares, *nav)) - position.cost +
                              position.cash_dividends);
  if (figures.held_profit && position.cost != 0) {
    figures.rate =
        base::RoundDivide(static_cast<__int128>(*figures.held_profit) * 10000, position.cost);
  }
  // With c the day change in percent, yesterday's value was today's × 100 / (100 + c): today's
  // profit is shares × NAV × c / (100 + c). c is kept in ten-thousandths of a percent; below
  // 10^16, the product stays below 10^37.
  const std::optional<std::int64_t> change = base::ParseSigned(quote->day_change, 4);
  constexpr std::int64_t kHundredPercent = std::int64_t{100} * 10000;
  if (change && kHundredPercent + *change > 0) {
    const std::optional<std::int64_t> profit = base::RoundDivide(
        static_cast<__int128>(position.shares) * *nav * *change,
        static_cast<__int128>(base::Power10(kShareDecimals + kPriceDecimals - 2)) *
            (kHundredPercent + *change));
    if (profit) figures.today_profit = Money(*profit);
  }
  return figures;
}

RowFigures TotalOf(const std::vector<RowFigures>& rows) {
  // Summed with room to spare, then kept only when the sum is money the ledger holds.
  __int128 cost = 0;
  __int128 dividends = 0;
  std::optional<__int128> today_profit;
  std::optional<__int128> held_profit;
  bool whole = true;  // every row has its cost and dividends
  for (const RowFigures& row : rows) {
    whole = whole && row.cost && row.dividends;
    cost += row.cost.value_or(0);
    dividends += row.dividends.value_or(0);
    if (row.today_profit) today_profit = today_profit.value_or(0) + *row.today_profit;
    if (row.held_profit) held_profit = held_profit.value_or(0) + *row.held_profit;
  }
  RowFigures total;
  total.cost = whole ? Money(cost) : std::nullopt;
  total.dividends = whole ? Money(dividends) : std::nullopt;
  if (today_profit) total.today_profit = Money(*today_profit);
  if (held_profit) total.held_profit = Money(*held_profit);
  // The row's own two figures give its rate, so that the three agree when some rows have no
  // quote yet (the status line says the profit is partial then).
  if (total.held_profit && total.cost && *total.cost != 0) {
    total.rate = base::RoundDivide(static_cast<__int128>(*total.held_profit) * 10000, *total.cost);
  }
  return total;
}

std::string RateText(std::int64_t rate) { return base::FormatScaled(rate, 2) + "%"; }

}  // namespace positions
