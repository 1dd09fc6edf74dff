#include "alerts/alerts.h"

#include <optional>

#include "alerts/alerts_state.h"
#include "app/load.h"
#include "portal/fund_search.h"
#include "positions/ledger.h"
#include "positions/positions.h"

namespace alerts {

namespace {

constexpr std::chrono::minutes kDefaultInterval{30};

bool SixDigits(const std::string& code) {
  return code.size() == 6 && code.find_first_not_of("0123456789") == std::string::npos;
}

// The name of the fund held under `code`; empty when it is not held.
std::string HeldName(State& state, const std::string& code) {
  for (const positions::Position& position : positions::Replay(state.store.ledger().Records())) {
    if (position.code == code && position.shares > 0) return position.name;
  }
  return {};
}

// The rule the boxes describe, the texts exactly as typed; the first bad box is named to the
// user and nothing is given.
std::optional<StoredAlert> ReadRule(app::App& app, State& state) {
  app::AlertsWindow& window = app.alerts_window();
  StoredAlert rule;
  rule.code = window.提醒代码框.Text();
  if (!SixDigits(rule.code)) {
    app.dialogs().MessageBox(kBadCodeText);
    return std::nullopt;
  }
  rule.condition = window.条件框.CurrentText();
  const std::optional<Condition> condition = ConditionOf(rule.condition);
  if (!condition) {
    app.dialogs().MessageBox(kNoConditionText);
    return std::nullopt;
  }
  rule.threshold = window.阈值框.Text();
  if (!ParseThreshold(*condition, rule.threshold)) {
    const bool nav = *condition == Condition::kNavAtLeast || *condition == Condition::kNavAtMost;
    app.dialogs().MessageBox(nav ? kBadNavText : kBadRateText);
    return std::nullopt;
  }
  rule.name = HeldName(state, rule.code);
  if (NeedsPosition(*condition) && rule.name.empty()) {
    app.dialogs().MessageBox(kNotHeldText);
    return std::nullopt;
  }
  if (rule.name.empty() && rule.code == state.offered_code) rule.name = state.offered_name;
  return rule;
}

void Keep(app::App& app, State& state, StoredAlert rule) {
  if (!state.store.AddAlert(rule)) {
    app.dialogs().MessageBox(kCannotSaveText);
    return;
  }
  state.rules.push_back(std::move(rule));
  ShowRules(app, state);
}

void OnAdd(app::App& app, State& state) {
  if (state.searching) return;
  LoadOnce(state);
  std::optional<StoredAlert> rule = ReadRule(app, state);
  if (!rule) return;
  if (!rule->name.empty()) return Keep(app, state, *rule);
  state.searching = true;
  auto ended = [&state] { state.searching = false; };
  app::StartLoad(
      app, app.loads().Current(app::LoadTarget::kAlerts),
      [&app, code = rule->code] {
        return portal::FetchFundName(app.portal(), code, &app.transfers());
      },
      [&app, &state, rule = *rule, ended](const std::optional<std::string>& name) mutable {
        ended();
        if (!name || name->empty()) return app.dialogs().MessageBox(kNotFoundText + rule.code);
        rule.name = *name;
        Keep(app, state, rule);
      },
      ended);
}

void OnDelete(app::App& app, State& state) {
  LoadOnce(state);
  const int row = app.alerts_window().提醒表格.CurrentRow();
  if (row < 1 || row > static_cast<int>(state.rules.size())) {
    app.dialogs().MessageBox(kNoRowText);
    return;
  }
  if (!state.store.RemoveAlert(state.rules[row - 1].id)) {
    app.dialogs().MessageBox(kCannotSaveText);
    return;
  }
  state.rules.erase(state.rules.begin() + (row - 1));
  ShowRules(app, state);
}

// 菜单's fourth item: the current fund row's code goes to 提醒代码框.
void OnAddFromFundGrid(app::App& app, State& state, const std::optional<app::FundRef>& fund) {
  app.alerts_window().Show();
  if (!fund) return;
  state.offered_code = fund->code;
  state.offered_name = fund->name;
  app.alerts_window().提醒代码框.SetText(state.offered_code);
}

void CheckPeriodically(app::App& app, State& state) {
  app.ui().PostAfter(CheckInterval(app.config()), [&app, &state] {
    StartCheck(app, state);
    CheckPeriodically(app, state);
  });
}

}  // namespace

void LoadOnce(State& state) {
  if (state.loaded) return;
  state.rules = state.store.Alerts();
  state.loaded = state.store.ledger().Ready();
}

void ShowRules(app::App& app, const State& state) {
  ui::Grid& grid = app.alerts_window().提醒表格;
  const int selected = grid.CurrentRow();
  grid.SetRowCount(static_cast<int>(state.rules.size()) + 1);
  for (size_t i = 0; i < state.rules.size(); ++i) {
    const StoredAlert& rule = state.rules[i];
    const int row = static_cast<int>(i) + 1;
    const std::string cells[] = {rule.name,   rule.code,     rule.condition, rule.threshold,
                                 rule.latest, rule.nav_date, rule.last_told};
    for (int column = 0; column < app::kAlertsColumnCount; ++column) {
      grid.SetText(row, column, cells[column]);
    }
  }
  grid.SetCurrentRow(selected);
  ShowStatus(app, state);
}

void ShowStatus(app::App& app, const State& state) {
  // The alert the desktop did not take comes first: the line may be too short for both.
  std::string text = state.untold;
  if (!state.progress.empty()) text += (text.empty() ? "" : "；") + state.progress;
  app.alerts_window().提醒状态.SetCaption(text);
}

std::chrono::minutes CheckInterval(const app::ConfigFile& config) {
  const std::string text = config.Read("提醒", "间隔分钟");
  if (text.empty() || text.size() > 4 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return kDefaultInterval;
  }
  const int minutes = std::stoi(text);
  return minutes >= 5 && minutes <= 1440 ? std::chrono::minutes(minutes) : kDefaultInterval;
}

Alerts::Alerts(app::App& app, positions::PositionsStore& ledger)
    : app_(app), state_(std::make_unique<State>(ledger)) {}

Alerts::~Alerts() = default;

void Alerts::Install() {
  app::App& app = app_;
  State& state = *state_;
  app::AlertsWindow& window = app.alerts_window();
  window.on_created = [&app, &state] {
    LoadOnce(state);
    ShowRules(app, state);
  };
  window.添加提醒钮.on_click = [&app, &state] { OnAdd(app, state); };
  window.删除提醒钮.on_click = [&app, &state] { OnDelete(app, state); };
  window.检查提醒钮.on_click = [&app, &state] { StartCheck(app, state); };
  app.main_window().提醒钮.on_click = [&app] { app.alerts_window().Show(); };
  app.main_window().菜单.Item(3).on_click = [&app, &state] {
    OnAddFromFundGrid(app, state, app.MenuFund());
  };
  app.AddStartupStep(app::StartupPhase::kAlerts, [&state](app::App& started) {
    StartCheck(started, state);
    CheckPeriodically(started, state);
  });
}

}  // namespace alerts
