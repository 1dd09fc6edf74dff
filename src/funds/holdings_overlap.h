#pragma once

// The stocks the two holdings grids share: the current fund's (高级表格5) and the compared
// fund's (高级表格6). Shared stocks are written purple in both grids, and 重合标签 counts them
// with their overlap: the sum over them of the smaller of the two shares.

#include <optional>
#include <string>
#include <string_view>

#include "app/app.h"
#include "funds/fund_detail.h"
#include "ui/canvas.h"

namespace funds {

inline constexpr ui::Colour kSharedStockColour = ui::Rgb(128, 0, 128);

// A share text ("9.87%", "9.8", "12%") in millionths of a percent; nothing when it is no
// non-negative decimal number.
std::optional<long long> ShareMillionths(std::string_view text);

// "重合" + n + "只，重合度" + x + "%" with x in two decimals, rounded half away from zero.
std::string OverlapCaption(int shared, long long overlap_millionths);

// Colours and the caption from the holdings the two grids show (`detail`'s current and compared
// holdings, row for row); the caption is empty while either holds no stock. Called after every
// write to either grid.
void RefreshHoldingsOverlap(app::App& app, const FundDetail& detail);

}  // namespace funds
