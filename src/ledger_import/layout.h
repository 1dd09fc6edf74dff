#pragma once

// What each column of a file to import holds: the kinds a column can be mapped to, the guess
// of a column's kind from its header, and the three layouts recognised from the header row
// (a holdings snapshot, this program's export of records, a platform's bill).

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "ledger_import/table.h"

namespace ledger_import {

enum class ColumnKind {
  kIgnore,
  kDay,
  kTime,
  kCode,
  kName,
  kType,
  kAmount,
  kShares,
  kNav,
  kCostPrice,
  kFee,
  kTradeId,
  kAccount,
  // A 定投 plan's: its cycle, its day in the cycle, its last day, the fee rate in percent (of a
  // pending trade too), 暂停 or not, and the last day whose period it has made.
  kCycle,
  kPlanDay,
  kEndDay,
  kFeeRate,
  kPlanState,
  kMadeThrough,
};
// The texts of the kinds, in the order of ColumnKind.
inline constexpr const char* kColumnKindTexts[] = {
    "忽略",   "日期",     "时间",   "代码",     "名称",    "类型", "金额",
    "份额",   "净值",     "成本价", "手续费",   "交易号",  "账户", "定投周期",
    "定投日", "结束日期", "费率",   "定投状态", "已定投至"};

// The kind a header text most likely names ("确认日期" 日期, "基金代码" 代码, "金额（元）" 金额);
// 忽略 when none.
ColumnKind GuessKind(std::string_view header);
// The kinds of a whole header row: each kind goes to the first column that names it, the
// others with the same guess are 忽略; a "…时间" column holds the day when no column is a 日期.
std::vector<ColumnKind> GuessKinds(const std::vector<std::string>& headers);

// This program's export of records and plans: its header, in this order, UTF-8. The columns
// after 账户 are a plan's (and 费率 a pending trade's too).
inline constexpr const char* kExportHeader[] = {
    "日期",   "时间", "代码",     "名称",   "类型",     "金额", "份额",     "净值",    "手续费",
    "交易号", "账户", "定投周期", "定投日", "结束日期", "费率", "定投状态", "已定投至"};
// A holdings snapshot: these columns in any order, and optionally a column of the day.
inline constexpr const char* kSnapshotHeader[] = {"基金代码", "基金名称", "持有份额", "成本价"};
// A platform's bill: its header row, after lines of heading text.
inline constexpr const char* kBillHeader[] = {
    "交易号",       "商家订单号",     "交易创建时间", "付款时间",   "最近修改时间", "交易来源地",
    "类型",         "交易对方",       "商品名称",     "金额（元）", "收/支",        "交易状态",
    "服务费（元）", "成功退款（元）", "备注",         "资金状态"};
// The bill's state of a trade that went through; its other rows are not imported.
inline constexpr char kBillDoneText[] = "交易成功";

enum class Preset { kGeneral, kSnapshot, kExport, kBill };
// 通用 for a file of any other layout.
inline constexpr const char* kPresetTexts[] = {"通用", "持仓快照", "本程序导出的记录", "账单"};

// How the rows of a table are read.
struct Layout {
  Preset preset = Preset::kGeneral;
  // Index in the table's rows of the header row, and the data rows [first, end) after it.
  std::size_t header = 0;
  std::size_t first = 0;
  std::size_t end = 0;
  // The kind of each column, as many as the header has cells; the user may change them.
  std::vector<ColumnKind> columns;
  // A bill's 交易状态 column.
  std::optional<std::size_t> state_column;

  bool operator==(const Layout&) const = default;
};

// The header rows looked for among a file's first rows.
inline constexpr std::size_t kHeaderSearchRows = 30;

// The layout of `table`: a preset when one of the first rows is its header (a bill's data rows
// end at the first row too short to be one, such as its totals), else the first of those rows
// whose headers name two kinds or more, else the first row, with the guessed kinds.
Layout Recognize(const Table& table);

}  // namespace ledger_import
