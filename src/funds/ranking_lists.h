#pragma once

// The six ranking radio boxes of the main window: yesterday's, this month's and the last
// three months' biggest gainers and losers, one page of 20 funds each.

#include <functional>
#include <string_view>

#include "app/app.h"
#include "funds/last_good.h"

namespace funds {

// Page 1 of the ranking sorted by `sort_code` in `order` ("desc" or "asc") into the fund
// grid, for the load of `ticket`; then `done` on the UI thread with when the stored answer
// that stood in for a failed request arrived. Without one the grid stays reset. A newer load of
// the grid overtaking this one while it waits for the answer leaves nothing written after the
// reset, and `done` never runs. Its fetch waits for the start-up prune of the cache, so a
// stored answer older than the cache keeps is never shown.
void LoadRankingList(Funds& funds, const app::LoadTicket& ticket, std::string_view sort_code,
                     std::string_view order, std::function<void(const OfflineSince& offline)> done);

// The click on ranking radio box `n` (1 to 6): remembers the choice for the next start,
// loads the list and names it in the main window's title. While a long job holds the fund
// grid it refuses with a message box and the boxes show the stored choice again.
void OnRankingRadioClick(Funds& funds, int n);

// Attaches the radio boxes and adds the start-up step that reloads the last chosen list.
void InstallRankingLists(Funds& funds);

// The start-up step: the first ranking marked "真" in the settings is checked and loaded.
void LoadStartupRanking(Funds& funds);

}  // namespace funds
