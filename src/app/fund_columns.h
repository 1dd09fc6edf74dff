#pragma once

// The columns of the fund grid 高级表格1 and the comparison grid 高级表格2, in grid order. The
// grids' headers are laid out from this enum, and the fund table writes cells by it.

namespace app {

enum class FundColumn : int {
  kName,          // 基金名称
  kCode,          // 基金代码
  kType,          // 基金类型
  kDate,          // 日期
  kNav,           // 净值
  kDayChange,     // 日增长率
  kWeek,          // 近1周
  kMonth,         // 近1月
  kThreeMonths,   // 近3月
  kSixMonths,     // 近6月
  kThisYear,      // 今年来
  kOneYear,       // 近一年
  kTwoYears,      // 近2年
  kThreeYears,    // 近3年
  kSize,          // 规模(亿)
  kRating,        // 基金评级
  kTenureReturn,  // 任期回报
  kTenure,        // 任期年限
  kStdDev1,       // 标准差1..3, then 夏普比率1..3
  kStdDev2,
  kStdDev3,
  kSharpe1,
  kSharpe2,
  kSharpe3,
  kCount,  // the number of columns
};
inline constexpr int kFundColumnCount = static_cast<int>(FundColumn::kCount);
constexpr int Col(FundColumn column) { return static_cast<int>(column); }

}  // namespace app
