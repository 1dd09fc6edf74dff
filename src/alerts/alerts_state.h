#pragma once

// What the alerts feature remembers between events, and how it shows it: the rules grid and the
// status line 提醒状态. Internal to the feature; touched on the UI thread only.

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "alerts/alert_rules.h"
#include "alerts/alert_rules_store.h"
#include "app/app.h"

namespace alerts {

struct State {
  explicit State(positions::PositionsStore& ledger) : store(ledger) {}
  RulesStore store;
  bool loaded = false;
  std::vector<StoredAlert> rules;
  // Rule and NAV date of every alert told in this run, so that a ledger that cannot be written
  // still tells each once.
  std::set<std::pair<std::int64_t, std::string>> told;
  // The code and name "添加提醒" put into 提醒代码框: a rule on that code needs no search.
  std::string offered_code;
  std::string offered_name;
  // A rule waits for its fund's name: another click of 添加 meanwhile would add it twice.
  bool searching = false;
  // 提醒状态: the newest alert that neither the notification service nor a tray took, then the
  // check's progress or result.
  std::string progress;
  std::string untold;
};

void LoadOnce(State& state);
// The grid as the rules stand, then the status line.
void ShowRules(app::App& app, const State& state);
void ShowStatus(app::App& app, const State& state);

// Runs a check of every fund that has a rule; a newer check overtakes it (check.cpp).
void StartCheck(app::App& app, State& state);

}  // namespace alerts
