#include "positions/trades.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/decimal.h"

namespace positions {

namespace {

// A rate's ten-thousandths of a percent per unit.
constexpr std::int64_t kWholeRate = std::int64_t{100} * 10'000;

bool RateFits(std::int64_t fee_rate) { return fee_rate >= 0 && fee_rate <= kFeeRateLimit; }
bool MoneyFits(std::int64_t fen) { return fen > 0 && fen < kMoneyLimit; }

bool IsDividend(RecordKind kind) {
  return kind == RecordKind::kCashDividend || kind == RecordKind::kReinvest;
}

}  // namespace

const base::NavPoint* ConfirmingPoint(const base::NavHistory& history, std::string_view day,
                                      bool after_close) {
  // Days "YYYY-MM-DD" sort as text.
  const auto before = [](const base::NavPoint& point, std::string_view d) { return point.day < d; };
  const auto after = [](std::string_view d, const base::NavPoint& point) { return d < point.day; };
  const auto it = after_close
                      ? std::upper_bound(history.points.begin(), history.points.end(), day, after)
                      : std::lower_bound(history.points.begin(), history.points.end(), day, before);
  return it == history.points.end() ? nullptr : &*it;
}

std::optional<std::int64_t> BuyFee(std::int64_t amount, std::int64_t fee_rate) {
  if (!MoneyFits(amount) || !RateFits(fee_rate)) return std::nullopt;
  // amount − amount / (1 + r) = amount × r / (1 + r), with r = fee_rate / kWholeRate.
  return base::RoundDivide(static_cast<__int128>(amount) * fee_rate, kWholeRate + fee_rate);
}

std::optional<std::int64_t> SharesFor(std::int64_t net, std::int64_t nav) {
  if (!MoneyFits(net) || nav <= 0 || nav >= kPriceLimit) return std::nullopt;
  // fen / ten-thousandths of a yuan = hundredths of a share × 10^-4.
  const std::optional<std::int64_t> shares = base::RoundDivide(
      static_cast<__int128>(net) * base::Power10(kShareDecimals + kPriceDecimals - 2), nav);
  if (!shares || *shares >= kShareLimit) return std::nullopt;
  return shares;
}

std::optional<std::int64_t> SaleFee(std::int64_t gross, std::int64_t fee_rate) {
  if (!MoneyFits(gross) || !RateFits(fee_rate)) return std::nullopt;
  return base::RoundDivide(static_cast<__int128>(gross) * fee_rate, kWholeRate);
}

std::optional<std::int64_t> GrossOfProceeds(std::int64_t proceeds, std::int64_t fee_rate) {
  if (!MoneyFits(proceeds) || !RateFits(fee_rate)) return std::nullopt;
  const std::optional<std::int64_t> gross =
      base::RoundDivide(static_cast<__int128>(proceeds) * kWholeRate, kWholeRate - fee_rate);
  if (!gross || !MoneyFits(*gross)) return std::nullopt;
  return gross;
}

Confirmation Confirm(const Trade& trade, const base::NavHistory& history) {
  Confirmation confirmation;
  if (trade.fee_rate == kFundFeeRate) {
    Trade priced = trade;
    priced.fee_rate =
        trade.sell ? 0 : std::clamp<std::int64_t>(history.fee_rate.value_or(0), 0, kFeeRateLimit);
    return Confirm(priced, history);
  }
  const base::NavPoint* point = ConfirmingPoint(history, trade.day, trade.after_close);
  if (!point) return confirmation;
  confirmation.state = TradeState::kRefused;
  Record record;
  record.day = point->day;
  record.code = trade.code;
  record.name = trade.name;
  record.account = trade.account;
  record.price = point->unit_nav;
  if (point->unit_nav <= 0 || point->unit_nav >= kPriceLimit) return confirmation;
  if (trade.sell && trade.shares == 0) {
    const std::optional<std::int64_t> gross = GrossOfProceeds(trade.amount, trade.fee_rate);
    const std::optional<std::int64_t> shares =
        gross ? SharesFor(*gross, point->unit_nav) : std::nullopt;
    if (!shares || *shares <= 0) return confirmation;
    record.kind = RecordKind::kSell;
    record.shares = *shares;
    record.fee = std::max<std::int64_t>(0, Amount(*shares, point->unit_nav) - trade.amount);
  } else if (trade.sell) {
    if (trade.shares <= 0 || trade.shares >= kShareLimit) return confirmation;
    const std::optional<std::int64_t> fee =
        SaleFee(Amount(trade.shares, point->unit_nav), trade.fee_rate);
    if (!fee) return confirmation;
    record.kind = RecordKind::kSell;
    record.shares = trade.shares;
    record.fee = *fee;
  } else {
    const std::optional<std::int64_t> fee = BuyFee(trade.amount, trade.fee_rate);
    if (!fee || *fee >= trade.amount) return confirmation;
    const std::optional<std::int64_t> shares = SharesFor(trade.amount - *fee, point->unit_nav);
    if (!shares || *shares <= 0) return confirmation;
    record.kind = RecordKind::kBuy;
    record.plan = trade.plan;
    record.period = trade.period;
    record.shares = *shares;
    record.fee = *fee;
    record.amount = trade.amount;
  }
  if (!RecordFits(record)) return confirmation;
  confirmation.state = TradeState::kConfirmed;
  confirmation.record = std::move(record);
  return confirmation;
}

namespace {

// HistoryRecords for the records of one account.
std::vector<Record> AccountHistoryRecords(std::vector<Record> own, const base::NavHistory& history,
                                          DividendMode mode, const std::vector<Record>& removed,
                                          std::int64_t account) {
  own = InDayOrder(std::move(own));
  const auto has = [&](const std::string& day, auto wanted) {
    const auto same = [&](const Record& r) { return r.day == day && wanted(r); };
    return std::any_of(own.begin(), own.end(), same) ||
           std::any_of(removed.begin(), removed.end(), [&](const Record& r) {
             return r.code == history.code && r.account == account && same(r);
           });
  };

  std::vector<Record> made;
  Position position{history.code, history.name};
  size_t next = 0;  // the first of `own` not yet applied
  for (const base::NavPoint& point : history.points) {
    if (point.dividend <= 0 && point.split_ratio <= 0) continue;
    // The shares at the close of the day before.
    for (; next < own.size() && own[next].day < point.day; ++next) Apply(position, own[next]);
    if (position.shares <= 0) continue;
    Record record;
    record.day = point.day;
    record.code = history.code;
    record.name = history.name;
    record.account = account;
    record.from_history = true;
    const bool dividend_kept = has(point.day, [](const Record& r) { return IsDividend(r.kind); });
    if (point.dividend > 0 && !dividend_kept) {
      Record dividend = record;
      const __int128 worth = static_cast<__int128>(position.shares) * point.dividend;
      if (mode == DividendMode::kCash) {
        dividend.kind = RecordKind::kCashDividend;
        dividend.amount = base::RoundDivide(worth, base::Power10(base::kRatioDecimals)).value_or(0);
      } else if (point.unit_nav > 0) {
        // hundredths × hundred-millionths of a yuan / ten-thousandths of a yuan.
        dividend.kind = RecordKind::kReinvest;
        dividend.price = point.unit_nav;
        dividend.shares =
            base::RoundDivide(worth, static_cast<__int128>(point.unit_nav) *
                                         base::Power10(base::kRatioDecimals - kPriceDecimals))
                .value_or(0);
      }
      if ((dividend.amount > 0 || dividend.shares > 0) && Apply(position, dividend)) {
        made.push_back(std::move(dividend));
      }
    }
    const bool split_kept =
        has(point.day, [](const Record& r) { return r.kind == RecordKind::kSplit; });
    if (point.split_ratio > 0 && !split_kept) {
      Record split = record;
      split.kind = RecordKind::kSplit;
      split.ratio = point.split_ratio;
      if (Apply(position, split)) made.push_back(std::move(split));
    }
  }
  return made;
}

}  // namespace

std::vector<Record> HistoryRecords(const std::vector<Record>& records,
                                   const base::NavHistory& history, DividendMode mode,
                                   const std::vector<Record>& removed) {
  std::map<std::int64_t, std::vector<Record>> by_account;
  for (const Record& record : records) {
    if (record.code == history.code) by_account[record.account].push_back(record);
  }
  std::vector<Record> made;
  for (auto& [account, own] : by_account) {
    for (Record& record : AccountHistoryRecords(std::move(own), history, mode, removed, account)) {
      made.push_back(std::move(record));
    }
  }
  return made;
}

namespace {

// The days on which the user entered a dividend, by fund: "code day".
std::set<std::string> HandDividendDays(const std::vector<Record>& records) {
  std::set<std::string> days;
  for (const Record& record : records) {
    if (!record.from_history && IsDividend(record.kind)) {
      days.insert(record.code + ' ' + record.day);
    }
  }
  return days;
}

bool Replaced(const Record& record, const std::set<std::string>& hand_days) {
  return record.from_history && IsDividend(record.kind) &&
         hand_days.contains(record.code + ' ' + record.day);
}

bool DayOrder(const Record& a, const Record& b) {
  if (a.day != b.day) return a.day < b.day;
  return a.from_history && !b.from_history;
}

}  // namespace

std::vector<Record> WithoutReplacedDividends(const std::vector<Record>& records) {
  const std::set<std::string> hand_days = HandDividendDays(records);
  std::vector<Record> kept;
  for (const Record& record : records) {
    if (!Replaced(record, hand_days)) kept.push_back(record);
  }
  return kept;
}

std::vector<Record> InDayOrder(std::vector<Record> records) {
  std::stable_sort(records.begin(), records.end(), DayOrder);
  return records;
}

std::vector<const Record*> ReplayOrder(const std::vector<Record>& records) {
  const std::set<std::string> hand_days = HandDividendDays(records);
  std::vector<const Record*> order;
  order.reserve(records.size());
  for (const Record& record : records) {
    if (!Replaced(record, hand_days)) order.push_back(&record);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const Record* a, const Record* b) { return DayOrder(*a, *b); });
  return order;
}

}  // namespace positions
