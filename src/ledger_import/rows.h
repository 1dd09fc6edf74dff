#pragma once

// The rows of a file read through its layout into what the ledger can take: a buy, a sale, a
// dividend or a holding, with money and shares exact; or the reason a row cannot be taken.
// Nothing here writes the ledger or finds a fund's code from its name: the caller does.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ledger_import/layout.h"
#include "ledger_import/table.h"

namespace ledger_import {

enum class ImportKind { kBuy, kSell, kCashDividend, kReinvest, kHolding, kPlan };
// The 类型 texts this program's export writes, in the order of ImportKind. Reading also takes
// the platforms' words (申购, 定投, 赎回, 分红, …); a 定投 alone is one of its buys.
inline constexpr const char* kImportKindTexts[] = {"买入",     "卖出", "现金分红",
                                                   "红利再投", "持仓", "定投计划"};

struct ImportRow {
  int line = 0;              // of the file, as the reasons give it
  std::string day;           // YYYY-MM-DD; "" for a holding the file gives no day (the caller's)
  std::string time;          // HH:MM:SS; "" when the file gives none
  bool after_close = false;  // placed at or after 15:00
  std::string code;          // six digits; "" when the file names the fund only
  std::string name;
  ImportKind kind = ImportKind::kBuy;
  // Fen: a buy's money paid (fee included), a sale's proceeds, a cash dividend.
  std::optional<std::int64_t> amount;
  std::optional<std::int64_t> shares;      // hundredths
  std::optional<std::int64_t> nav;         // ten-thousandths of a yuan
  std::optional<std::int64_t> cost_price;  // ten-thousandths of a yuan
  std::optional<std::int64_t> fee;         // fen
  std::string trade_id;
  std::string account;
  // A plan's (its start is `day`, its sum per period `amount`): the texts as the file gives
  // them, checked when the plan is made; its end and the last day it made as YYYY-MM-DD.
  std::string cycle;
  std::string plan_day;
  std::string end_day;
  std::string plan_state;
  std::string made_through;
  // Percent as the file gives it, of a plan or a pending trade; "" for none.
  std::string fee_rate;
  // What tells this row from every other row ever imported: "交易号:" and its 交易号, else
  // "sha256:" and the digest of its mapped fields, the file's name and how many rows of the
  // same file with the same fields came before it (so that two equal buys both count, and a
  // second import of the file gives the same keys).
  std::string key;

  bool operator==(const ImportRow&) const = default;
};

// An import row, or the reason the row is not one: "第12行：日期无法识别".
using RowOrReason = std::variant<ImportRow, std::string>;

// The data rows of `table` ([layout.first, layout.end)) read through the layout's columns;
// `file_name` is the file's name without its folder. A bill's rows: only those in state
// 交易成功 whose 商品名称 reads "…-" + fund name + "-买入" or "-卖出" (a buy of the amount paid,
// or a sale of which the amount is the proceeds).
std::vector<RowOrReason> ReadRows(const Table& table, const Layout& layout,
                                  std::string_view file_name);

// The reasons, after "第n行：".
inline constexpr char kBadDayText[] = "日期无法识别";
inline constexpr char kNoDayText[] = "缺少日期";
inline constexpr char kBadTimeText[] = "时间无法识别";
inline constexpr char kBadCodeText[] = "代码无法识别";
inline constexpr char kNoFundText[] = "缺少代码和名称";
inline constexpr char kBadTypeText[] = "类型无法识别";
inline constexpr char kBadAmountText[] = "金额无法识别";
inline constexpr char kBadSharesText[] = "份额无法识别";
inline constexpr char kBadNavText[] = "净值无法识别";
inline constexpr char kBadCostPriceText[] = "成本价无法识别";
inline constexpr char kBadFeeText[] = "手续费无法识别";
inline constexpr char kBuyFiguresText[] = "买入须有金额，或份额和净值";
inline constexpr char kSellFiguresText[] = "卖出须有份额或金额";
inline constexpr char kDividendFiguresText[] = "现金分红须有金额";
inline constexpr char kReinvestFiguresText[] = "红利再投须有份额";
inline constexpr char kHoldingFiguresText[] = "持仓须有份额和成本价";
inline constexpr char kPlanFiguresText[] = "定投计划须有每期金额";
inline constexpr char kBadEndDayText[] = "结束日期无法识别";
inline constexpr char kBadMadeThroughText[] = "已定投至日期无法识别";
inline constexpr char kNotFundTradeText[] = "不是基金买入或卖出";
// A bill's row in another state: "交易状态为“交易关闭”，不导入".
std::string BillStateText(std::string_view state);

}  // namespace ledger_import
