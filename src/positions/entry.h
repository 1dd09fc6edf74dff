#pragma once

// The positions window's boxes read as a record, and a record kept. Each reader tells the user
// the first thing wrong in a message box and gives nothing. Internal to the feature; UI thread.

#include <cstdint>
#include <optional>
#include <string>

#include "app/app.h"
#include "positions/ledger.h"
#include "positions/positions_view.h"

namespace positions {

// 代码框: six digits.
std::optional<std::string> ReadCode(app::App& app);
// 份额框, 净值框, then 费用框 when `with_fee` (empty is 0), then 日期框 (empty is today), as the
// parts of a record of no kind and no fund yet, within the ledger's limits.
std::optional<Record> ReadEntry(app::App& app, bool with_fee);
// 金额框, then 日期框: a cash dividend of no fund yet, within the ledger's limits.
std::optional<Record> ReadDividend(app::App& app);

// Stores the record and shows it; only a stored record is shown. A record that would take its
// fund's position or the total beyond the ledger's limits is refused.
void Keep(app::App& app, State& state, const Record& record);

}  // namespace positions
