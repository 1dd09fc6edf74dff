#include "positions/fund_history.h"

#include "base/date_time.h"
#include "portal/nav_history.h"
#include "store/cache.h"

namespace positions {

namespace {

std::int64_t Stamp(const base::DateTime& when) {
  return store::TimeStamp(when.year, when.month, when.day, when.hour, when.minute, when.second);
}

}  // namespace

FundHistory FetchFundHistory(app::App& app, const std::string& code, bool ask) {
  FundHistory loaded;
  std::optional<store::Cache::KeptNavHistory> kept = app.cache().LoadNavHistory(code);
  if (kept && kept->history.points.empty()) kept.reset();
  const base::DateTime now = app.clock().Now();
  if (!ask && kept &&
      store::NavHistoryFresh(kept->history.points.back().day, kept->stamp, Stamp(now))) {
    loaded.history = std::move(kept->history);
    return loaded;
  }
  std::optional<base::NavHistory> fetched =
      portal::FetchNavHistory(app.portal(), code, &app.transfers());
  if (fetched && !fetched->points.empty()) {
    app.cache().SaveNavHistory(code, *fetched, base::DateTimeText(now), Stamp(now));
    loaded.history = std::move(fetched);
  } else if (kept) {
    loaded.offline_since = kept->arrived;
    loaded.history = std::move(kept->history);
  }
  return loaded;
}

std::optional<base::NavHistory> KeptFundHistory(app::App& app, const std::string& code) {
  std::optional<store::Cache::KeptNavHistory> kept = app.cache().LoadNavHistory(code);
  if (!kept || kept->history.points.empty()) return std::nullopt;
  return std::move(kept->history);
}

}  // namespace positions
