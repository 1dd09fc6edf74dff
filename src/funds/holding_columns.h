#pragma once

// The columns of the holdings grids 高级表格5 and 高级表格6: what the holdings load writes and
// the overlap of the two grids reads.

namespace funds {

enum class HoldingColumn : int { kName, kCode, kShare, kCount };
inline constexpr int kHoldingColumnCount = static_cast<int>(HoldingColumn::kCount);
constexpr int Col(HoldingColumn column) { return static_cast<int>(column); }

}  // namespace funds
