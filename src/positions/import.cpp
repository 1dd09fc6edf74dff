#include "positions/import.h"

#include <algorithm>
#include <iterator>

#include "base/decimal.h"
#include "ledger_import/layout.h"
#include "ledger_import/text_table.h"
#include "ledger_import/xlsx_table.h"
#include "positions/plans.h"

namespace positions {

namespace {

using ledger_import::ImportKind;
using ledger_import::ImportRow;

constexpr int kFenDecimals = 2;

// A CSV field, quoted when it holds a delimiter, a quote or a line break.
std::string Field(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + '"';
}

// A line of the export: the fields given, the rest of the header's columns empty.
void AddLine(std::string& out, std::vector<std::string> fields) {
  fields.resize(std::size(ledger_import::kExportHeader));
  for (size_t i = 0; i < fields.size(); ++i) out += (i ? "," : "") + Field(fields[i]);
  out += "\r\n";
}

std::string Scaled(std::int64_t value, int decimals) {
  return value ? base::FormatScaled(value, decimals) : std::string();
}

const char* KindText(ImportKind kind) {
  return ledger_import::kImportKindTexts[static_cast<int>(kind)];
}

std::string Line(int line, std::string_view reason) {
  return "第" + std::to_string(line) + "行：" + std::string(reason);
}

// A plan of the file: it goes on after the day the file says it was made through, else after
// the import (the file's rows being what it made so far).
std::variant<ImportItem, std::string> PlanItem(const ImportRow& row, const ImportChoices& choices,
                                               ImportItem item, const std::string& code,
                                               const std::string& name) {
  PlanTexts texts;
  texts.code = code;
  texts.name = name;
  texts.amount = base::FormatScaled(row.amount.value_or(0), kFenDecimals);
  texts.fee_rate = row.fee_rate;
  texts.cycle = row.cycle;
  texts.day = row.plan_day;
  texts.start = row.day;
  texts.end = row.end_day;
  texts.paused = row.plan_state.find("暂停") != std::string::npos;
  std::variant<Plan, std::string> plan = ReadPlan(texts, kFundFeeRate);
  if (const auto* reason = std::get_if<std::string>(&plan)) return Line(row.line, *reason);
  item.plan = std::move(std::get<Plan>(plan));
  // Made through a day before its start: nothing made yet.
  const std::string& start = item.plan->start;
  item.plan->made_through = !row.made_through.empty() ? row.made_through
                            : choices.today >= start  ? choices.today
                                                      : std::string();
  if (item.plan->made_through < start) item.plan->made_through.clear();
  return item;
}

}  // namespace

std::string RecordsCsv(const Book& book, std::int64_t account) {
  std::map<std::int64_t, std::string> names;
  for (const Account& a : book.accounts) names[a.id] = a.name;
  std::string out = "\xEF\xBB\xBF";
  AddLine(out, {std::begin(ledger_import::kExportHeader), std::end(ledger_import::kExportHeader)});
  for (const Record& r : InDayOrder(book.records)) {
    if ((account && r.account != account) || r.kind == RecordKind::kSplit) continue;
    std::string amount, shares, nav, fee;
    ImportKind kind = ImportKind::kBuy;
    switch (r.kind) {
      case RecordKind::kBuy:
      case RecordKind::kSell:
        kind = r.kind == RecordKind::kBuy ? ImportKind::kBuy : ImportKind::kSell;
        amount = Scaled(r.amount, kFenDecimals);
        shares = base::FormatScaled(r.shares, kShareDecimals);
        nav = base::FormatScaled(r.price, kPriceDecimals);
        fee = base::FormatScaled(r.fee, kFenDecimals);
        break;
      case RecordKind::kCashDividend:
        kind = ImportKind::kCashDividend;
        amount = base::FormatScaled(r.amount, kFenDecimals);
        break;
      case RecordKind::kReinvest:
        kind = ImportKind::kReinvest;
        shares = base::FormatScaled(r.shares, kShareDecimals);
        nav = base::FormatScaled(r.price, kPriceDecimals);
        break;
      case RecordKind::kSplit:
        break;
    }
    AddLine(out, {r.day, "", r.code, r.name, KindText(kind), amount, shares, nav, fee, "",
                  names[r.account]});
  }
  for (const PendingTrade& pending : book.trades) {
    const Trade& t = pending.trade;
    if (account && t.account != account) continue;
    AddLine(out, {t.day, t.after_close ? "15:00:00" : "", t.code, t.name,
                  KindText(t.sell ? ImportKind::kSell : ImportKind::kBuy),
                  Scaled(t.amount, kFenDecimals), Scaled(t.shares, kShareDecimals), "", "", "",
                  names[t.account], "", "", "", FeeRateText(t.fee_rate)});
  }
  for (const Plan& p : book.plans) {
    if (account && p.account != account) continue;
    const std::string day = p.cycle == Cycle::kDaily ? ""
                            : p.cycle == Cycle::kMonthly
                                ? std::to_string(p.day)
                                : kWeekdayTexts[std::clamp(p.day, 1, 5) - 1];
    // A plan that made nothing yet says so: made through the day before its start.
    const std::optional<std::int32_t> start = base::DayNumber(p.start);
    const std::string made = !p.made_through.empty() ? p.made_through
                             : start                 ? base::DayText(*start - 1)
                                                     : std::string();
    AddLine(out, {p.start, "", p.code, p.name, KindText(ImportKind::kPlan),
                  base::FormatScaled(p.amount, kFenDecimals), "", "", "", "", names[p.account],
                  kCycleTexts[static_cast<int>(p.cycle)], day, p.end, FeeRateText(p.fee_rate),
                  p.paused ? kPausedText : "", made});
  }
  return out;
}

ledger_import::TableOrError ReadImportTable(std::string_view bytes) {
  if (bytes.starts_with("PK\x03\x04")) return ledger_import::ReadXlsxTable(bytes);
  return ledger_import::ReadTextTable(bytes);
}

std::string NoFundText(int line, const std::string& name) {
  return Line(line, "找不到基金「" + name + "」");
}

std::variant<ImportItem, std::string> ItemOf(const ImportRow& row, const ImportChoices& choices) {
  ImportItem item;
  item.key = row.key;
  item.account_name = row.account;
  item.account = choices.account;
  std::string code = row.code, name = row.name;
  const bool searched = code.empty();
  if (searched) {
    const auto found = choices.codes.find(name);
    if (found == choices.codes.end()) return NoFundText(row.line, name);
    code = found->second;
  }
  // A name the search matched takes the fund's own name.
  if (const auto found = choices.names.find(code); found != choices.names.end()) {
    if (name.empty() || searched) name = found->second;
  }
  if (name.empty()) name = code;
  Record record;
  record.day = row.day.empty() ? choices.snapshot_day : row.day;
  record.code = code;
  record.name = name;
  Trade trade;
  trade.day = record.day;
  trade.code = code;
  trade.name = name;
  trade.after_close = row.after_close;
  const bool priced = row.shares && row.nav;
  std::optional<std::int64_t> fee_rate;
  if (!row.fee_rate.empty()) {
    fee_rate = ParseFeeRate(row.fee_rate);
    if (!fee_rate) return Line(row.line, kBadFeeRateText);
  }
  switch (row.kind) {
    case ImportKind::kBuy:
    case ImportKind::kSell:
      if (priced) {
        record.kind = row.kind == ImportKind::kBuy ? RecordKind::kBuy : RecordKind::kSell;
        record.shares = *row.shares;
        record.price = *row.nav;
        record.fee = row.fee.value_or(0);
        if (row.kind == ImportKind::kBuy) record.amount = row.amount.value_or(0);
      } else if (row.kind == ImportKind::kBuy) {
        trade.amount = row.amount.value_or(0);
        trade.fee_rate = fee_rate.value_or(kFundFeeRate);
      } else {
        trade.sell = true;
        trade.fee_rate = fee_rate.value_or(choices.sale_fee_rate);
        if (row.shares) {
          trade.shares = *row.shares;
        } else {
          trade.amount = row.amount.value_or(0);
          item.message = kReviewText;
        }
      }
      break;
    case ImportKind::kCashDividend:
      record.kind = RecordKind::kCashDividend;
      record.amount = row.amount.value_or(0);
      break;
    case ImportKind::kReinvest:
      if (!priced) return Line(row.line, ledger_import::kReinvestFiguresText);
      record.kind = RecordKind::kReinvest;
      record.shares = *row.shares;
      record.price = *row.nav;
      break;
    case ImportKind::kHolding:
      record.kind = RecordKind::kBuy;
      record.shares = row.shares.value_or(0);
      record.price = row.cost_price.value_or(0);
      break;
    case ImportKind::kPlan:
      return PlanItem(row, choices, std::move(item), code, name);
  }
  const bool traded = (row.kind == ImportKind::kBuy || row.kind == ImportKind::kSell) && !priced;
  if (record.day.empty()) return Line(row.line, ledger_import::kNoDayText);
  const char* figures = row.kind == ImportKind::kSell ? ledger_import::kSellFiguresText
                        : row.kind == ImportKind::kCashDividend
                            ? ledger_import::kDividendFiguresText
                        : row.kind == ImportKind::kHolding ? ledger_import::kHoldingFiguresText
                                                           : ledger_import::kBuyFiguresText;
  if (traded                                     ? trade.amount <= 0 && trade.shares <= 0
      : record.kind == RecordKind::kCashDividend ? record.amount <= 0
                                                 : record.shares <= 0 || record.price <= 0) {
    return Line(row.line, figures);
  }
  if (traded) {
    item.trade = std::move(trade);
  } else {
    if (!RecordFits(record)) return Line(row.line, kTradeBeyondLimitsText);
    item.record = std::move(record);
  }
  return item;
}

}  // namespace positions
