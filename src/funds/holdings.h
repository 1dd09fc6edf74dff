#pragma once

// The top-ten stock holdings of the fund the user looks at, in 高级表格5 under 标签1: the
// shares from the portal's holdings archive, the stocks' codes and names from its quote
// service (portal/holdings.h). Loaded on a worker.

#include <string>
#include <vector>

#include "app/app.h"
#include "funds/funds.h"
#include "funds/holding_columns.h"
#include "portal/holdings.h"
#include "ui/grid.h"

namespace funds {

// Rows 1-10 of a holdings grid: the holdings, then empty rows.
void WriteHoldings(ui::Grid& grid, const std::vector<portal::Holding>& holdings);

// Starts the worker for fund `code`. Its result reaches 高级表格5 and 标签1 (the current fund
// row's name) on the UI thread, unless a newer holdings load started or the grid was emptied
// for a comparison meanwhile.
void StartTopHoldings(Funds& funds, std::string code);

}  // namespace funds
