#include "positions/settle.h"

#include <algorithm>
#include <optional>
#include <set>

namespace positions {

namespace {

const base::NavHistory* HistoryOf(const std::map<std::string, base::NavHistory>& histories,
                                  const std::string& code) {
  const auto it = histories.find(code);
  return it == histories.end() ? nullptr : &it->second;
}

std::string DayAfter(const std::string& day) {
  const std::optional<std::int32_t> number = base::DayNumber(day);
  return number ? base::DayText(*number + 1) : day;
}

void MakePeriods(const Book& book, const std::map<std::string, base::NavHistory>& histories,
                 std::string_view today, Settlement& settlement) {
  static const base::NavHistory kNoHistory;
  for (const Plan& plan : book.plans) {
    if (plan.paused) continue;
    const std::string from = plan.made_through.empty() ? plan.start : DayAfter(plan.made_through);
    const base::NavHistory* history = HistoryOf(histories, plan.code);
    const base::NavHistory& known = history ? *history : kNoHistory;
    for (const std::string& day : PeriodDays(plan, from, today, known)) {
      settlement.made.push_back(PeriodTrade(plan, day));
    }
    // A daily plan waits for its history: its first day tells from when the fund trades.
    const std::string through =
        plan.cycle == Cycle::kDaily && known.points.empty() ? std::string() : std::string(today);
    if (through > plan.made_through && through >= plan.start) {
      settlement.made_through[plan.id] = through;
    }
  }
}

// One fund's records with its newly confirmed trades, each account's apart: the sales that
// cannot apply on their day are refused (the first failing one each round, as it may be what the
// later ones lacked), then the history's records are made over what stays.
void SettleFund(const Book& book, const std::string& code, const base::NavHistory* history,
                std::vector<std::pair<std::int64_t, Record>> confirmed, Settlement& settlement) {
  std::vector<Record> own;
  for (const Record& record : book.records) {
    if (record.code == code) own.push_back(record);
  }
  const auto mode_it = book.modes.find(code);
  const DividendMode mode = mode_it == book.modes.end() ? DividendMode::kCash : mode_it->second;
  for (;;) {
    std::vector<Record> working = own;
    for (const auto& [id, record] : confirmed) {
      working.push_back(record);
      working.back().id = -id;  // apart from the stored records' numbers
    }
    std::vector<Record> made;
    if (history) made = HistoryRecords(working, *history, mode, book.removed);
    working.insert(working.end(), made.begin(), made.end());
    std::optional<std::int64_t> failed;
    std::map<std::int64_t, Position> accounts;  // each account's position of the fund
    for (const Record* record : ReplayOrder(working)) {
      if (!Apply(accounts[record->account], *record) && record->id < 0 &&
          record->kind == RecordKind::kSell) {
        failed = -record->id;
        break;
      }
    }
    if (!failed) {
      for (auto& [id, record] : confirmed) settlement.confirmed[id] = std::move(record);
      for (Record& record : made) settlement.from_history.push_back(std::move(record));
      return;
    }
    settlement.refused[*failed] = kSaleNotHeldText;
    std::erase_if(confirmed, [&](const auto& entry) { return entry.first == *failed; });
  }
}

}  // namespace

Settlement Settle(const Book& book, const std::map<std::string, base::NavHistory>& histories,
                  std::string_view today) {
  Settlement settlement;
  MakePeriods(book, histories, today, settlement);
  std::map<std::string, std::vector<std::pair<std::int64_t, Record>>> confirmed;
  std::set<std::int64_t> daily;  // plan ids
  for (const Plan& plan : book.plans) {
    if (plan.cycle == Cycle::kDaily) daily.insert(plan.id);
  }
  for (const PendingTrade& pending : book.trades) {
    const base::NavHistory* history = HistoryOf(histories, pending.trade.code);
    if (!history) continue;
    // A daily plan's period that turned out to be a holiday makes no buy.
    if (daily.contains(pending.trade.plan) && IsHoliday(*history, pending.trade.period)) {
      settlement.dropped.push_back(pending.id);
      continue;
    }
    Confirmation confirmation = Confirm(pending.trade, *history);
    if (confirmation.state == TradeState::kConfirmed) {
      confirmed[pending.trade.code].emplace_back(pending.id, std::move(confirmation.record));
    } else if (confirmation.state == TradeState::kRefused &&
               pending.message != kTradeBeyondLimitsText) {
      settlement.refused[pending.id] = kTradeBeyondLimitsText;
    }
  }
  for (const std::string& code : CodesOf(book)) {
    const auto it = confirmed.find(code);
    const base::NavHistory* history = HistoryOf(histories, code);
    if (!history && it == confirmed.end()) continue;
    SettleFund(book, code, history, it == confirmed.end() ? decltype(it->second)() : it->second,
               settlement);
  }
  // A refusal already told stays as it is.
  for (const PendingTrade& pending : book.trades) {
    const auto it = settlement.refused.find(pending.id);
    if (it != settlement.refused.end() && it->second == pending.message) {
      settlement.refused.erase(it);
    }
  }
  return settlement;
}

std::vector<std::string> CodesOf(const Book& book) {
  std::vector<std::string> codes;
  std::set<std::string> seen;
  const auto add = [&](const std::string& code) {
    if (seen.insert(code).second) codes.push_back(code);
  };
  for (const Record& record : book.records) add(record.code);
  for (const PendingTrade& pending : book.trades) add(pending.trade.code);
  for (const Plan& plan : book.plans) add(plan.code);
  return codes;
}

}  // namespace positions
