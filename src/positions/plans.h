#pragma once

// 定投 plans: a sum bought in a fund on every period's day, and the texts that make one.
// Plain values: no ui, no app.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/nav_history.h"
#include "positions/trades.h"

namespace positions {

enum class Cycle {
  kDaily,        // 每日: every weekday the fund trades
  kWeekly,       // 每周: one weekday
  kFortnightly,  // 每两周: one weekday, every other week counted from the start
  kMonthly,      // 每月: one day from 1 to 28
};

struct Plan {
  std::int64_t id = 0;
  std::string code;
  std::string name;
  std::int64_t amount = 0;    // fen per period, fee included
  std::int64_t fee_rate = 0;  // ten-thousandths of a percent
  Cycle cycle = Cycle::kMonthly;
  int day = 1;        // weekday 1 (Monday) to 5 (Friday), or the day of the month 1 to 28
  std::string start;  // YYYY-MM-DD
  std::string end;    // YYYY-MM-DD; "" for none
  bool paused = false;
  // The last day whose period has been made (or passed over while paused); "" for none yet.
  std::string made_through{};
  std::int64_t account = kDefaultAccount;

  bool operator==(const Plan&) const = default;
};

// The texts of the cycles, in the order of Cycle, and of the weekdays 1 to 5.
inline constexpr const char* kCycleTexts[] = {"每日", "每周", "每两周", "每月"};
inline constexpr const char* kWeekdayTexts[] = {"周一", "周二", "周三", "周四", "周五"};
// A paused plan's state, as its grid and the export of records show it.
inline constexpr char kPausedText[] = "已暂停";

inline constexpr char kPlanBadCodeText[] = "请输入6位基金代码";
inline constexpr char kPlanBadAmountText[] = "金额须为大于0的数字，最多两位小数";
inline constexpr char kBadFeeRateText[] = "费率须为0到10之间的数字（%），最多四位小数";
inline constexpr char kBadCycleText[] = "定投周期须为每日、每周、每两周或每月";
inline constexpr char kBadWeekdayText[] = "定投日须为周一到周五";
inline constexpr char kBadMonthDayText[] = "每月定投日须为1到28日";
inline constexpr char kBadStartText[] = "开始日期格式为YYYY-MM-DD";
inline constexpr char kBadEndText[] = "结束日期格式为YYYY-MM-DD，不填则长期定投";
inline constexpr char kEndBeforeStartText[] = "结束日期不能早于开始日期";

// Money in yuan as typed: above 0 with at most two decimals, below the ledger's limit; fen.
std::optional<std::int64_t> ParseAmount(std::string_view text);
// A fee rate in percent as typed: 0 to 10 with at most four decimals; ten-thousandths of a
// percent. An empty text is nothing too: the caller chooses its default.
std::optional<std::int64_t> ParseFeeRate(std::string_view text);

// A fee rate as ParseFeeRate reads it back, without trailing zeros; "" for kFundFeeRate.
std::string FeeRateText(std::int64_t rate);

// A plan as the boxes of the plan window give it.
struct PlanTexts {
  std::string code;
  std::string name;
  std::string amount;    // yuan
  std::string fee_rate;  // percent; "" for `default_rate`
  std::string cycle;     // one of kCycleTexts
  std::string day;       // a weekday text of kWeekdayTexts, or "1" to "28"
  std::string start;
  std::string end;  // "" for none
  bool paused = false;
};
// The plan, or the message saying what is wrong with the first bad text.
std::variant<Plan, std::string> ReadPlan(const PlanTexts& texts, std::int64_t default_rate);

// Weekday of a day number: 1 (Monday) to 7 (Sunday).
int WeekdayOf(std::int32_t day_number);

// The period days of `plan` from `from` (its start, or the day after the last period made) to
// `today`, both included, oldest first; none while it is paused, none after its end. A daily
// plan's days are the weekdays `history` holds (a weekday within it without a NAV is a holiday)
// and every weekday after its last day, none before its first day or without a history; a
// holiday among the later ones is dropped when the history reaches past it (IsHoliday). The
// other cycles' days come from the calendar alone, and a holiday's buy confirms on the next
// trading day.
std::vector<std::string> PeriodDays(const Plan& plan, std::string_view from, std::string_view today,
                                    const base::NavHistory& history);

// Whether `history` shows `day` was no trading day: it has a NAV before and after it, none on it.
bool IsHoliday(const base::NavHistory& history, std::string_view day);

// The buy of one period: `plan.amount` on `day` before 15:00, remembering the plan and day.
Trade PeriodTrade(const Plan& plan, const std::string& day);

}  // namespace positions
