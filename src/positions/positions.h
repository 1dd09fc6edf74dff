#pragma once

// My positions: the positions window's handlers (buy, sell, the two kinds of dividend, delete,
// refresh, export), the main window's button and today's-profit caption, and the fund grid's
// "加入持仓" menu item. The records live in the ledger file under the user's data folder.

#include <memory>
#include <string>
#include <string_view>

#include "app/app.h"

namespace positions {

// Message texts the user sees.
inline constexpr char kBadCodeText[] = "请输入6位基金代码";
inline constexpr char kBadSharesText[] = "份额须为大于0的数字，最多两位小数";
inline constexpr char kBadPriceText[] = "成交净值须为大于0的数字，最多四位小数";
inline constexpr char kBadDateText[] = "日期格式为YYYY-MM-DD，且不晚于今天";
inline constexpr char kBadFeeText[] = "手续费须为不小于0的数字，最多两位小数";
inline constexpr char kFeeAboveProceedsText[] = "手续费不能超过卖出金额";
inline constexpr char kFeeAboveCostText[] = "手续费不能超过买入金额";
// The ledger's limits (ledger.h), for a record beyond them or one that would take its fund's
// position or the total beyond them.
inline constexpr char kBeyondLimitsText[] =
    "超出持仓记录的范围：份额须小于100亿份，净值须小于10万元，"
    "金额、持仓成本、分红及其合计须小于10万亿元";
inline constexpr char kBadAmountText[] = "分红金额须为大于0的数字，最多两位小数";
inline constexpr char kNotHeldText[] = "未持有该基金，无法记录分红";
inline constexpr char kNoRowText[] = "请选择要操作的基金";
inline constexpr char kNotFoundText[] = "没有找到基金";
inline constexpr char kCannotSaveText[] = "无法保存持仓记录";
inline constexpr char kWorkbookPrefix[] = "持仓";

// `text` is a real day written YYYY-MM-DD, not after `today`.
bool ValidDay(const std::string& text, const base::DateTime& today);

// The workbook 导出持仓 writes: the workbook folder / ("持仓" + month + "月" + day + "日.xls").
std::filesystem::path PositionsWorkbookPath(app::App& app);
// True for the file name of any day's positions workbook ("持仓12月9日.xls").
bool IsPositionsWorkbookName(std::string_view name);

// The file the ledger is kept in.
std::filesystem::path LedgerPath(const app::AppPaths& paths);

class PositionsStore;
struct State;

// The positions feature: the ledger's one handle and what the window shows of it. Made by the
// shell; outlives the App's windows.
class Positions {
 public:
  explicit Positions(app::App& app);
  ~Positions();
  Positions(const Positions&) = delete;
  Positions& operator=(const Positions&) = delete;

  // Attaches the handlers of the positions window, 持仓钮, the third item of 菜单, and the
  // start-up step that shows the stored today's profit in 持仓标签 (without a request).
  void Install();

  // The ledger's file, which the alerts' rules share.
  PositionsStore& store();

 private:
  app::App& app_;
  std::unique_ptr<State> state_;
};

}  // namespace positions
