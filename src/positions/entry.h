#pragma once

// The positions window's boxes read as a record, and a record kept. Each reader tells the user
// the first thing wrong in a message box and gives nothing. Internal to the feature; UI thread.

#include <cstdint>
#include <optional>
#include <string>

#include "app/app.h"
#include "positions/ledger.h"
#include "positions/positions_view.h"
#include "positions/trades.h"

namespace positions {

// 代码框: six digits.
std::optional<std::string> ReadCode(app::App& app);
// 份额框, 净值框, then 费用框 when `with_fee` (empty is 0), then 日期框 (empty is today), as the
// parts of a record of no kind and no fund yet, within the ledger's limits.
std::optional<Record> ReadEntry(app::App& app, bool with_fee);
// 金额框, then 日期框: a cash dividend of no fund yet, within the ledger's limits.
std::optional<Record> ReadDividend(app::App& app);

// 代码框, then 金额框 (a buy) or 份额框 (a sale), 费率框 (empty: the fund's purchase fee for a
// buy, 0 for a sale), 日期框 (empty is today) and 午后框: a trade of no name yet, in the
// account new trades go to.
std::optional<Trade> ReadTrade(app::App& app, const State& state, bool sell);

// Stores the record and shows it; only a stored record is shown. A record that would take its
// fund's position or the total beyond the ledger's limits is refused. A record of the default
// account goes to the one chosen (NewAccount).
void Keep(app::App& app, State& state, Record record);

}  // namespace positions
