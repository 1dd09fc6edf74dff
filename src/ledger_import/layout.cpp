#include "ledger_import/layout.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "base/text.h"

namespace ledger_import {
namespace {

bool Has(std::string_view text, std::initializer_list<std::string_view> parts) {
  return std::any_of(parts.begin(), parts.end(), [&](std::string_view part) {
    return text.find(part) != std::string_view::npos;
  });
}

std::optional<std::size_t> Position(const std::vector<std::string>& cells, std::string_view text) {
  const auto found = std::find(cells.begin(), cells.end(), text);
  if (found == cells.end()) return std::nullopt;
  return static_cast<std::size_t>(found - cells.begin());
}

template <typename Texts>
bool HasAll(const std::vector<std::string>& cells, const Texts& texts) {
  return std::all_of(std::begin(texts), std::end(texts),
                     [&](const char* text) { return Position(cells, text).has_value(); });
}

bool IsExportHeader(const std::vector<std::string>& cells) {
  return cells.size() >= std::size(kExportHeader) &&
         std::equal(std::begin(kExportHeader), std::end(kExportHeader), cells.begin());
}

Layout BillLayout(const Table& table, std::size_t header) {
  const std::vector<std::string>& cells = table.rows[header].cells;
  Layout layout;
  layout.preset = Preset::kBill;
  layout.header = header;
  layout.columns.assign(cells.size(), ColumnKind::kIgnore);
  const std::pair<const char*, ColumnKind> mapped[] = {{"交易号", ColumnKind::kTradeId},
                                                       {"交易创建时间", ColumnKind::kDay},
                                                       {"商品名称", ColumnKind::kName},
                                                       {"金额（元）", ColumnKind::kAmount},
                                                       {"服务费（元）", ColumnKind::kFee}};
  for (const auto& [text, kind] : mapped) layout.columns[*Position(cells, text)] = kind;
  layout.state_column = Position(cells, "交易状态");
  // A row of the bill fills at least these; its totals and closing lines are shorter.
  std::size_t width = 0;
  for (const char* text : {"交易号", "交易创建时间", "商品名称", "金额（元）", "交易状态"}) {
    width = std::max(width, *Position(cells, text) + 1);
  }
  layout.first = header + 1;
  layout.end = layout.first;
  while (layout.end < table.rows.size() && table.rows[layout.end].cells.size() >= width &&
         !table.rows[layout.end].cells[0].starts_with("---")) {
    ++layout.end;
  }
  return layout;
}

Layout SnapshotLayout(const Table& table, std::size_t header) {
  const std::vector<std::string>& cells = table.rows[header].cells;
  Layout layout;
  layout.preset = Preset::kSnapshot;
  layout.header = header;
  layout.first = header + 1;
  layout.end = table.rows.size();
  layout.columns.assign(cells.size(), ColumnKind::kIgnore);
  const std::pair<const char*, ColumnKind> mapped[] = {{"基金代码", ColumnKind::kCode},
                                                       {"基金名称", ColumnKind::kName},
                                                       {"持有份额", ColumnKind::kShares},
                                                       {"成本价", ColumnKind::kCostPrice}};
  for (const auto& [text, kind] : mapped) layout.columns[*Position(cells, text)] = kind;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (GuessKind(cells[i]) == ColumnKind::kDay) {
      layout.columns[i] = ColumnKind::kDay;
      break;
    }
  }
  return layout;
}

Layout GuessedLayout(const Table& table, std::size_t header, Preset preset) {
  Layout layout;
  layout.preset = preset;
  layout.header = header;
  layout.first = std::min(header + 1, table.rows.size());
  layout.end = table.rows.size();
  if (header < table.rows.size()) layout.columns = GuessKinds(table.rows[header].cells);
  if (preset == Preset::kExport) layout.columns.resize(std::size(kExportHeader));
  return layout;
}

}  // namespace

ColumnKind GuessKind(std::string_view header) {
  const std::string text = base::RemoveBlanks(header);
  // A plan's columns first: their names hold 日 and 费 too.
  if (Has(text, {"周期"})) return ColumnKind::kCycle;
  if (Has(text, {"定投状态"})) return ColumnKind::kPlanState;
  if (Has(text, {"定投至"})) return ColumnKind::kMadeThrough;
  if (Has(text, {"定投日"})) return ColumnKind::kPlanDay;
  if (Has(text, {"结束日"})) return ColumnKind::kEndDay;
  if (Has(text, {"费率"})) return ColumnKind::kFeeRate;
  if (Has(text, {"交易号", "流水号", "订单号", "单号", "编号"})) return ColumnKind::kTradeId;
  if (Has(text, {"账户", "账号"})) return ColumnKind::kAccount;
  if (Has(text, {"代码"})) return ColumnKind::kCode;
  if (Has(text, {"手续费", "服务费", "费用"})) return ColumnKind::kFee;
  if (Has(text, {"成本价", "成本净值", "单位成本"})) return ColumnKind::kCostPrice;
  if (Has(text, {"净值", "单价", "价格", "成交价"})) return ColumnKind::kNav;
  if (Has(text, {"份额", "数量"})) return ColumnKind::kShares;
  if (Has(text, {"金额", "发生额"})) return ColumnKind::kAmount;
  if (Has(text, {"类型", "业务", "操作", "方向", "买卖"})) return ColumnKind::kType;
  if (Has(text, {"名称", "基金", "产品", "商品"})) return ColumnKind::kName;
  if (Has(text, {"日期", "日"})) return ColumnKind::kDay;
  if (Has(text, {"时间"})) return ColumnKind::kTime;
  return ColumnKind::kIgnore;
}

std::vector<ColumnKind> GuessKinds(const std::vector<std::string>& headers) {
  std::vector<ColumnKind> kinds;
  std::vector<bool> taken(std::size(kColumnKindTexts), false);
  for (const std::string& header : headers) {
    ColumnKind kind = GuessKind(header);
    const auto index = static_cast<std::size_t>(kind);
    if (kind != ColumnKind::kIgnore && taken[index]) kind = ColumnKind::kIgnore;
    taken[static_cast<std::size_t>(kind)] = true;
    kinds.push_back(kind);
  }
  // A date-time column such as 交易时间 holds the day when nothing else does.
  if (!taken[static_cast<std::size_t>(ColumnKind::kDay)]) {
    const auto time = std::find(kinds.begin(), kinds.end(), ColumnKind::kTime);
    if (time != kinds.end()) *time = ColumnKind::kDay;
  }
  return kinds;
}

Layout Recognize(const Table& table) {
  const std::size_t search = std::min(table.rows.size(), kHeaderSearchRows);
  for (std::size_t i = 0; i < search; ++i) {
    const std::vector<std::string>& cells = table.rows[i].cells;
    if (HasAll(cells, kBillHeader)) return BillLayout(table, i);
    if (IsExportHeader(cells)) return GuessedLayout(table, i, Preset::kExport);
    if (HasAll(cells, kSnapshotHeader)) return SnapshotLayout(table, i);
  }
  for (std::size_t i = 0; i < search; ++i) {
    const std::vector<ColumnKind> kinds = GuessKinds(table.rows[i].cells);
    if (std::count_if(kinds.begin(), kinds.end(),
                      [](ColumnKind kind) { return kind != ColumnKind::kIgnore; }) >= 2) {
      return GuessedLayout(table, i, Preset::kGeneral);
    }
  }
  return GuessedLayout(table, 0, Preset::kGeneral);
}

}  // namespace ledger_import
