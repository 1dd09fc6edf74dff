#include "positions/entry.h"

#include "base/decimal.h"
#include "base/text.h"
#include "positions/plans.h"
#include "positions/positions.h"
#include "positions/trading.h"

namespace positions {

namespace {

// A box's number scaled to `decimals` by `parse`; the refusal `text` when it is none.
template <class Parse>
std::optional<std::int64_t> ReadNumber(app::App& app, const ui::EditBox& box, int decimals,
                                       Parse parse, const char* text) {
  std::optional<std::int64_t> value = parse(base::TrimBlanks(box.Text()), decimals);
  if (!value) app.dialogs().MessageBox(text);
  return value;
}

std::optional<std::string> ReadDay(app::App& app) {
  const base::DateTime now = app.clock().Now();
  std::string day = base::TrimBlanks(app.positions_window().日期框.Text());
  if (day.empty()) day = TodayText(app);
  if (!ValidDay(day, now)) {
    app.dialogs().MessageBox(kBadDateText);
    return std::nullopt;
  }
  return day;
}

std::optional<std::int64_t> ParseFee(std::string_view text, int decimals) {
  return text.empty() ? 0 : base::ParseNonNegative(text, decimals);
}

// The record when it is within the ledger's limits; else the refusal is shown.
std::optional<Record> Within(app::App& app, const Record& record) {
  if (RecordFits(record)) return record;
  app.dialogs().MessageBox(kBeyondLimitsText);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadCode(app::App& app) {
  const std::string code = base::TrimBlanks(app.positions_window().代码框.Text());
  bool digits = code.size() == 6;
  for (char c : code) digits = digits && c >= '0' && c <= '9';
  if (!digits) {
    app.dialogs().MessageBox(kBadCodeText);
    return std::nullopt;
  }
  return code;
}

std::optional<Record> ReadEntry(app::App& app, bool with_fee) {
  app::PositionsWindow& window = app.positions_window();
  Record record;
  const auto shares =
      ReadNumber(app, window.份额框, kShareDecimals, base::ParsePositive, kBadSharesText);
  if (!shares) return std::nullopt;
  const auto price =
      ReadNumber(app, window.净值框, kPriceDecimals, base::ParsePositive, kBadPriceText);
  if (!price) return std::nullopt;
  const auto fee = with_fee ? ReadNumber(app, window.费用框, 2, ParseFee, kBadFeeText) : 0;
  if (!fee) return std::nullopt;
  const std::optional<std::string> day = ReadDay(app);
  if (!day) return std::nullopt;
  record.shares = *shares;
  record.price = *price;
  record.fee = *fee;
  record.day = *day;
  return Within(app, record);
}

std::optional<Record> ReadDividend(app::App& app) {
  const auto amount =
      ReadNumber(app, app.positions_window().金额框, 2, base::ParsePositive, kBadAmountText);
  if (!amount) return std::nullopt;
  const std::optional<std::string> day = ReadDay(app);
  if (!day) return std::nullopt;
  Record record;
  record.kind = RecordKind::kCashDividend;
  record.amount = *amount;
  record.day = *day;
  return Within(app, record);
}

std::optional<Trade> ReadTrade(app::App& app, const State& state, bool sell) {
  app::PositionsWindow& window = app.positions_window();
  Trade trade;
  trade.sell = sell;
  const std::optional<std::string> code = ReadCode(app);
  if (!code) return std::nullopt;
  trade.code = *code;
  if (sell) {
    const auto shares =
        ReadNumber(app, window.份额框, kShareDecimals, base::ParsePositive, kBadSharesText);
    if (!shares) return std::nullopt;
    if (*shares >= kShareLimit) {
      app.dialogs().MessageBox(kBeyondLimitsText);
      return std::nullopt;
    }
    trade.shares = *shares;
  } else {
    const std::optional<std::int64_t> amount = ParseAmount(base::TrimBlanks(window.金额框.Text()));
    if (!amount) {
      app.dialogs().MessageBox(kPlanBadAmountText);
      return std::nullopt;
    }
    trade.amount = *amount;
  }
  const std::string rate = base::TrimBlanks(window.费率框.Text());
  trade.fee_rate = sell ? 0 : kFundFeeRate;
  if (!rate.empty()) {
    const std::optional<std::int64_t> parsed = ParseFeeRate(rate);
    if (!parsed) {
      app.dialogs().MessageBox(kBadFeeRateText);
      return std::nullopt;
    }
    trade.fee_rate = *parsed;
  }
  const std::optional<std::string> day = ReadDay(app);
  if (!day) return std::nullopt;
  trade.day = *day;
  trade.after_close = window.午后框.Checked();
  trade.account = sell ? AccountFor(state, trade.code) : NewAccount(state);
  return trade;
}

void Keep(app::App& app, State& state, Record record) {
  if (record.account == kDefaultAccount) record.account = NewAccount(state);
  if (!Fits(state.book.records, record)) {
    app.dialogs().MessageBox(kBeyondLimitsText);
    return;
  }
  if (!state.store.Add(record)) {
    app.dialogs().MessageBox(kCannotSaveText);
    return;
  }
  AfterWrite(app, state);
}

}  // namespace positions
