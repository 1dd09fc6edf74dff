#include "ledger_import/rows.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <utility>

#include "base/decimal.h"
#include "base/nav_history.h"
#include "base/text.h"
#include "ledger_import/sha256.h"
#include "positions/ledger.h"

namespace ledger_import {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Up to `most` digits at `at` (at least one) as a number; `at` moves past them.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t most) {
  int value = 0;
  std::size_t count = 0;
  while (at < text.size() && count < most && IsDigit(text[at])) {
    value = value * 10 + (text[at] - '0');
    ++at;
    ++count;
  }
  if (count == 0) return std::nullopt;
  return value;
}

bool Skip(std::string_view text, std::size_t& at, std::string_view what) {
  if (text.substr(at).starts_with(what)) {
    at += what.size();
    return true;
  }
  return false;
}

// "9:05", "09:05:30" (a fraction of a second is dropped) as "HH:MM:SS".
std::optional<std::string> ReadTime(std::string_view text) {
  std::size_t at = 0;
  const auto hour = Digits(text, at, 2);
  if (!hour || !Skip(text, at, ":")) return std::nullopt;
  const auto minute = Digits(text, at, 2);
  std::optional<int> second = 0;
  if (minute && Skip(text, at, ":")) second = Digits(text, at, 2);
  if (second && Skip(text, at, ".")) Digits(text, at, 9);
  if (!minute || !second || at != text.size() || *hour > 23 || *minute > 59 || *second > 59) {
    return std::nullopt;
  }
  char out[48];
  std::snprintf(out, sizeof out, "%02d:%02d:%02d", *hour, *minute, *second);
  return std::string(out);
}

// "2023-01-05", "2023/1/5", "2023.1.5", "2023年1月5日" or "20230105", with an optional time
// after a blank or "T": the day as "YYYY-MM-DD" and the time ("" for none).
std::optional<std::pair<std::string, std::string>> ReadDayTime(std::string_view text) {
  std::size_t at = 0;
  int year = 0, month = 0, day = 0;
  if (text.size() >= 8 && std::all_of(text.begin(), text.begin() + 8, IsDigit) &&
      (text.size() == 8 || !IsDigit(text[8]))) {
    year = (text[0] - '0') * 1000 + (text[1] - '0') * 100 + (text[2] - '0') * 10 + (text[3] - '0');
    month = (text[4] - '0') * 10 + (text[5] - '0');
    day = (text[6] - '0') * 10 + (text[7] - '0');
    at = 8;
  } else {
    const auto y = Digits(text, at, 4);
    if (!y || at != 4) return std::nullopt;
    std::string_view separator;
    for (std::string_view candidate : {"-", "/", ".", "年"}) {
      if (Skip(text, at, candidate)) separator = candidate;
      if (!separator.empty()) break;
    }
    if (separator.empty()) return std::nullopt;
    const auto m = Digits(text, at, 2);
    if (!m || !Skip(text, at, separator == "年" ? "月" : separator)) return std::nullopt;
    const auto d = Digits(text, at, 2);
    if (!d) return std::nullopt;
    if (separator == "年") Skip(text, at, "日");
    year = *y;
    month = *m;
    day = *d;
  }
  char out[48];
  std::snprintf(out, sizeof out, "%04d-%02d-%02d", year, month, day);
  if (!base::DayNumber(out)) return std::nullopt;
  std::string_view rest = text.substr(at);
  if (rest.empty()) return std::pair(std::string(out), std::string());
  if (rest[0] != ' ' && rest[0] != 'T') return std::nullopt;
  const std::optional<std::string> time = ReadTime(base::TrimBlanks(rest.substr(1)));
  if (!time) return std::nullopt;
  return std::pair(std::string(out), *time);
}

// A figure as files write it: thousands separators, a currency sign or 元, a sign (dropped:
// the kind says which way money goes) and trailing zeros beyond the decimals kept are read
// through. Nothing for anything else or for a value at or above `limit`.
struct Figure {
  std::int64_t value = 0;
  bool negative = false;
};
std::optional<Figure> ReadFigure(std::string_view text, int decimals, std::int64_t limit,
                                 bool round) {
  std::string plain;
  for (std::string_view rest = text; !rest.empty();) {
    bool skipped = false;
    for (std::string_view noise : {",", "，", "¥", "￥", "元", " "}) {
      if (rest.starts_with(noise)) {
        rest.remove_prefix(noise.size());
        skipped = true;
        break;
      }
    }
    if (!skipped) {
      plain.push_back(rest[0]);
      rest.remove_prefix(1);
    }
  }
  Figure figure;
  if (!plain.empty() && (plain[0] == '-' || plain[0] == '+')) {
    figure.negative = plain[0] == '-';
    plain.erase(0, 1);
  }
  if (plain.find('.') != std::string::npos) {
    while (plain.back() == '0') plain.pop_back();
    if (plain.back() == '.') plain.pop_back();
  }
  const std::optional<std::int64_t> value =
      round ? base::ScaledDecimal(plain, decimals) : base::ParseNonNegative(plain, decimals);
  if (!value || *value < 0 || *value >= limit || plain.empty() || plain[0] == '-' ||
      plain[0] == '+') {
    return std::nullopt;
  }
  figure.value = *value;
  return figure;
}

// Which kind a 类型 text names.
std::optional<ImportKind> ReadKind(std::string_view text) {
  const auto has = [&](std::initializer_list<std::string_view> words) {
    for (std::string_view word : words) {
      if (text.find(word) != std::string_view::npos) return true;
    }
    return false;
  };
  if (has({"定投计划"})) return ImportKind::kPlan;
  if (has({"再投"})) return ImportKind::kReinvest;
  if (has({"分红", "红利"})) return ImportKind::kCashDividend;
  if (has({"卖", "赎回"})) return ImportKind::kSell;
  if (has({"买", "申购", "认购", "定投", "定期定额"})) return ImportKind::kBuy;
  if (has({"持仓", "持有"})) return ImportKind::kHolding;
  return std::nullopt;
}

// A fund trade of a bill: "…-" + fund name + "-买入" or "-卖出".
std::optional<std::pair<std::string, ImportKind>> BillTrade(std::string_view goods) {
  ImportKind kind;
  if (goods.ends_with("-买入")) {
    kind = ImportKind::kBuy;
  } else if (goods.ends_with("-卖出")) {
    kind = ImportKind::kSell;
  } else {
    return std::nullopt;
  }
  std::string_view fund = goods.substr(0, goods.size() - std::string_view("-买入").size());
  const std::size_t dash = fund.rfind('-');
  if (dash != std::string_view::npos) fund.remove_prefix(dash + 1);
  const std::string name = base::TrimBlanks(fund);
  if (name.empty()) return std::nullopt;
  return std::pair(name, kind);
}

class RowReader {
 public:
  RowReader(const SourceRow& row, const Layout& layout) : row_(row), layout_(layout) {}

  // The cell of the first column of `kind`; "" when none.
  std::string_view Cell(ColumnKind kind) const {
    for (std::size_t i = 0; i < layout_.columns.size(); ++i) {
      if (layout_.columns[i] == kind) return CellAt(i);
    }
    return {};
  }
  std::string_view CellAt(std::size_t column) const {
    return column < row_.cells.size() ? std::string_view(row_.cells[column]) : std::string_view();
  }
  bool Mapped(ColumnKind kind) const {
    return std::find(layout_.columns.begin(), layout_.columns.end(), kind) != layout_.columns.end();
  }

  RowOrReason Read() const {
    ImportRow out;
    out.line = row_.line;
    std::string_view name = Cell(ColumnKind::kName);
    std::optional<ImportKind> kind;
    if (layout_.preset == Preset::kBill) {
      const std::string_view state =
          layout_.state_column ? CellAt(*layout_.state_column) : std::string_view();
      if (state != kBillDoneText) return BillStateText(state);
      const auto trade = BillTrade(name);
      if (!trade) return std::string(kNotFundTradeText);
      out.name = trade->first;
      kind = trade->second;
    } else {
      out.name = std::string(name);
    }

    const std::string_view day = Cell(ColumnKind::kDay);
    if (!day.empty()) {
      const auto day_time = ReadDayTime(day);
      if (!day_time) return std::string(kBadDayText);
      out.day = day_time->first;
      out.time = day_time->second;
    }
    const std::string_view time = Cell(ColumnKind::kTime);
    if (!time.empty()) {
      std::optional<std::string> read = ReadTime(time);
      if (!read) {
        const auto day_time = ReadDayTime(time);
        if (day_time && !day_time->second.empty()) read = day_time->second;
      }
      if (!read) return std::string(kBadTimeText);
      out.time = *read;
    }
    out.after_close = !out.time.empty() && out.time >= "15:00:00";

    const std::string_view code = Cell(ColumnKind::kCode);
    if (!code.empty()) {
      if (code.size() > 6 || !std::all_of(code.begin(), code.end(), IsDigit)) {
        return std::string(kBadCodeText);
      }
      out.code = std::string(6 - code.size(), '0') + std::string(code);
    }
    if (out.code.empty() && out.name.empty()) return std::string(kNoFundText);

    bool negative = false;
    struct FigureColumn {
      ColumnKind kind;
      int decimals;
      std::int64_t limit;
      bool round;
      std::optional<std::int64_t>* into;
      const char* reason;
    };
    const FigureColumn figures[] = {
        {ColumnKind::kAmount, 2, positions::kMoneyLimit, false, &out.amount, kBadAmountText},
        {ColumnKind::kShares, positions::kShareDecimals, positions::kShareLimit, false, &out.shares,
         kBadSharesText},
        {ColumnKind::kNav, positions::kPriceDecimals, positions::kPriceLimit, true, &out.nav,
         kBadNavText},
        {ColumnKind::kCostPrice, positions::kPriceDecimals, positions::kPriceLimit, true,
         &out.cost_price, kBadCostPriceText},
        {ColumnKind::kFee, 2, positions::kMoneyLimit, false, &out.fee, kBadFeeText}};
    for (const FigureColumn& column : figures) {
      const std::string_view text = Cell(column.kind);
      if (text.empty()) continue;
      const std::optional<Figure> figure =
          ReadFigure(text, column.decimals, column.limit, column.round);
      if (!figure) return std::string(column.reason);
      if (column.kind == ColumnKind::kAmount) negative = figure->negative;
      // A zero is no figure, except a fee.
      if (figure->value != 0 || column.kind == ColumnKind::kFee) *column.into = figure->value;
    }

    if (!kind) {
      const std::string_view type = Cell(ColumnKind::kType);
      if (!type.empty()) {
        kind = ReadKind(type);
        if (!kind) return std::string(kBadTypeText);
      } else if (layout_.preset == Preset::kSnapshot ||
                 (out.shares && out.cost_price && !out.amount)) {
        kind = ImportKind::kHolding;
      } else {
        kind = negative ? ImportKind::kSell : ImportKind::kBuy;
      }
    }
    out.kind = *kind;
    if (out.kind != ImportKind::kHolding && out.day.empty()) return std::string(kNoDayText);
    switch (out.kind) {
      case ImportKind::kBuy:
        if (!out.amount && !(out.shares && out.nav)) return std::string(kBuyFiguresText);
        break;
      case ImportKind::kSell:
        if (!out.amount && !out.shares) return std::string(kSellFiguresText);
        break;
      case ImportKind::kCashDividend:
        if (!out.amount) return std::string(kDividendFiguresText);
        break;
      case ImportKind::kReinvest:
        if (!out.shares) return std::string(kReinvestFiguresText);
        break;
      case ImportKind::kHolding:
        if (!out.shares || !out.cost_price) return std::string(kHoldingFiguresText);
        break;
      case ImportKind::kPlan:
        if (!out.amount) return std::string(kPlanFiguresText);
        break;
    }
    out.trade_id = std::string(Cell(ColumnKind::kTradeId));
    out.account = std::string(Cell(ColumnKind::kAccount));
    out.cycle = base::TrimBlanks(Cell(ColumnKind::kCycle));
    out.plan_day = base::TrimBlanks(Cell(ColumnKind::kPlanDay));
    out.plan_state = base::TrimBlanks(Cell(ColumnKind::kPlanState));
    out.fee_rate = base::TrimBlanks(Cell(ColumnKind::kFeeRate));
    if (out.fee_rate.ends_with('%')) out.fee_rate.pop_back();
    const std::pair<ColumnKind, std::string*> days[] = {
        {ColumnKind::kEndDay, &out.end_day}, {ColumnKind::kMadeThrough, &out.made_through}};
    for (const auto& [column, into] : days) {
      const std::string_view text = Cell(column);
      if (text.empty()) continue;
      const auto day_time = ReadDayTime(text);
      if (!day_time) {
        return std::string(column == ColumnKind::kEndDay ? kBadEndDayText : kBadMadeThroughText);
      }
      *into = day_time->first;
    }
    return out;
  }

 private:
  const SourceRow& row_;
  const Layout& layout_;
};

// The row's mapped fields, each with its length before it so that no two rows run together.
std::string Fields(const ImportRow& row, std::string_view file_name) {
  std::string out;
  const auto add = [&](std::string_view field) {
    out += std::to_string(field.size());
    out += ':';
    out += field;
  };
  const auto number = [&](const std::optional<std::int64_t>& value) {
    add(value ? std::to_string(*value) : std::string());
  };
  add(file_name);
  add(row.day);
  add(row.time);
  add(row.code);
  add(row.name);
  add(kImportKindTexts[static_cast<int>(row.kind)]);
  number(row.amount);
  number(row.shares);
  number(row.nav);
  number(row.cost_price);
  number(row.fee);
  add(row.account);
  for (const std::string* plan : {&row.cycle, &row.plan_day, &row.end_day, &row.plan_state,
                                  &row.made_through, &row.fee_rate}) {
    add(*plan);
  }
  return out;
}

}  // namespace

std::string BillStateText(std::string_view state) {
  return "交易状态为“" + std::string(state) + "”，不导入";
}

std::vector<RowOrReason> ReadRows(const Table& table, const Layout& layout,
                                  std::string_view file_name) {
  std::vector<RowOrReason> rows;
  std::map<std::string, int> seen;  // rows of the same fields so far
  const std::size_t end = std::min(layout.end, table.rows.size());
  for (std::size_t i = layout.first; i < end; ++i) {
    RowOrReason read = RowReader(table.rows[i], layout).Read();
    if (auto* reason = std::get_if<std::string>(&read)) {
      *reason = "第" + std::to_string(table.rows[i].line) + "行：" + *reason;
    } else {
      ImportRow& row = std::get<ImportRow>(read);
      if (!row.trade_id.empty()) {
        row.key = "交易号:" + row.trade_id;
      } else {
        const std::string fields = Fields(row, file_name);
        const int before = seen[fields]++;
        row.key = "sha256:" + Sha256Hex(fields + "#" + std::to_string(before));
      }
    }
    rows.push_back(std::move(read));
  }
  return rows;
}

}  // namespace ledger_import
