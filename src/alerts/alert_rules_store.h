#pragma once

// The alert rules' tables of the ledger's file, used through the positions' one handle on it.
// Safe to use from any thread.

#include <cstdint>
#include <string>
#include <vector>

#include "positions/positions_store.h"

namespace alerts {

// An alert rule as kept: the texts the user entered, the figure and NAV date its fund's last
// check gave, and when it last fired (empty: never).
struct StoredAlert {
  std::int64_t id = 0;
  std::string code;
  std::string name;
  std::string condition;
  std::string threshold;
  std::string latest;
  std::string nav_date;
  std::string last_told;
  bool operator==(const StoredAlert&) const = default;
};

class RulesStore {
 public:
  explicit RulesStore(positions::PositionsStore& ledger) : ledger_(ledger) {}

  positions::PositionsStore& ledger() { return ledger_; }

  // Each write is one transaction; false when it did not reach the file. AddAlert sets the new
  // rule's id.
  bool AddAlert(StoredAlert& alert);
  // The rule and every date it fired for.
  bool RemoveAlert(std::int64_t id);
  bool SaveAlertFigures(std::int64_t id, const std::string& latest, const std::string& nav_date);
  // Notes that the rule fired for `nav_date` at `when`.
  bool MarkTold(std::int64_t id, const std::string& nav_date, const std::string& when);
  bool Told(std::int64_t id, const std::string& nav_date);
  // In the order added; empty when the file cannot be read.
  std::vector<StoredAlert> Alerts();

 private:
  positions::PositionsStore& ledger_;
};

}  // namespace alerts
