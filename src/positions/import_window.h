#pragma once

// 导入 and 导出记录 of the positions window, and the 导入预览 window. Internal to the feature;
// UI thread.

#include "app/app.h"
#include "positions/positions_view.h"

namespace positions {

inline constexpr char kImportFilter[] = "表格文件 (*.csv *.txt *.xlsx)";
inline constexpr char kBadSaleRateText[] = "卖出费率须为0到10之间的数字，最多四位小数";

void InstallImport(app::App& app, State& state);

}  // namespace positions
