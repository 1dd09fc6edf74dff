#pragma once

// A fund's NAV history as the program keeps it: the cache's copy while it is fresh
// (store::NavHistoryFresh: a trading day's NAV is out by its evening), else the portal's, kept
// as it arrives, else the cache's copy when the portal fails. On a worker.

#include <optional>
#include <string>

#include "app/app.h"
#include "base/nav_history.h"

namespace positions {

struct FundHistory {
  std::optional<base::NavHistory> history;
  // The arrival of the kept history given because the request failed; empty when it is fresh.
  std::string offline_since;
};

// `ask`: the portal is asked even when the kept history is fresh (the user's 刷新).
FundHistory FetchFundHistory(app::App& app, const std::string& code, bool ask);

// The kept history alone, fresh or not; no request.
std::optional<base::NavHistory> KeptFundHistory(app::App& app, const std::string& code);

}  // namespace positions
