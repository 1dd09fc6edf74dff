// The check: one main-page request per fund that has a rule, at most five under way at a time;
// each answer updates its rules' figures and tells the user of every rule that holds for a NAV
// date it has not been told for.

#include <algorithm>
#include <cstdio>
#include <optional>

#include "alerts/alerts.h"
#include "alerts/alerts_state.h"
#include "app/load.h"
#include "base/text.h"
#include "portal/fund_page.h"
#include "positions/ledger.h"

namespace alerts {

namespace {

constexpr int kAtOnce = 5;

// The count of one check's answers.
struct Check {
  size_t total = 0;
  size_t ended = 0;
  int failed = 0;
};
using CheckPtr = std::shared_ptr<Check>;

// The fund's figures from its main page; nothing when the request failed or the page carried
// no NAV. On a worker.
std::optional<Figures> FetchFigures(app::App& app, const std::string& code) {
  const std::optional<portal::FundSummary> summary =
      portal::FetchFundSummary(app.portal(), code, &app.transfers());
  if (!summary || summary->unit_nav.empty()) return std::nullopt;
  return Figures{summary->unit_nav, summary->nav_date, summary->day_change, std::nullopt};
}

// The position's rate on these figures; nothing when the fund is not held. Reads the ledger.
std::optional<std::int64_t> RateOf(positions::PositionsStore& store, const std::string& code,
                                   const Figures& f) {
  const positions::Quote quote{f.unit_nav, f.nav_date, f.day_change};
  for (const positions::Position& position : positions::Replay(store.Records())) {
    if (position.code == code && position.shares > 0) {
      return positions::FiguresOf(position, &quote).rate;
    }
  }
  return std::nullopt;
}

// What one fund's check gives each of its rules.
struct RuleResult {
  std::int64_t id = 0;
  std::string latest;
  std::string nav_date;
  std::optional<std::string> body;  // the rule holds
  bool told_before = false;         // the ledger says it was told for this NAV date
};

// The fund's answer and its rules' results; nothing when the request failed.
using FundResults = std::optional<std::vector<RuleResult>>;

// On a worker: the fund's figures, then for each of its rules the figure shown, kept in the
// ledger, and whether the rule holds and was told before.
FundResults CheckFund(app::App& app, RulesStore& store, const std::string& code,
                      const std::vector<StoredAlert>& rules) {
  const std::optional<Figures> fetched = FetchFigures(app, code);
  if (!fetched) return std::nullopt;
  Figures figures = *fetched;
  bool rate_read = false;
  std::vector<RuleResult> results;
  for (const StoredAlert& stored : rules) {
    const std::optional<Condition> condition = ConditionOf(stored.condition);
    const std::optional<std::int64_t> threshold =
        condition ? ParseThreshold(*condition, stored.threshold) : std::nullopt;
    if (stored.code != code || !threshold) continue;
    if (NeedsPosition(*condition) && !rate_read) {
      figures.rate = RateOf(store.ledger(), code, figures);
      rate_read = true;
    }
    RuleResult result{stored.id, LatestText(*condition, figures), figures.nav_date, std::nullopt,
                      false};
    store.SaveAlertFigures(result.id, result.latest, result.nav_date);
    result.body = Fired(Rule{stored.code, stored.name, *condition, *threshold}, figures);
    result.told_before = result.body && store.Told(result.id, result.nav_date);
    results.push_back(std::move(result));
  }
  return results;
}

std::string ToldAtText(const base::DateTime& when) {
  char text[24];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", when.year, when.month, when.day,
                when.hour, when.minute);
  return text;
}

// Hands the text to the desktop; without a notification service to the tray, without a tray to
// the status line.
void Tell(app::App& app, State& state, const std::string& body) {
  app.notifier().Notify(kSummary, body, [&app, &state, body](bool delivered) {
    if (delivered || app.notifier().ShowTrayMessage(kSummary, body)) return;
    state.untold = body;
    ShowStatus(app, state);
  });
}

// The rules' figures shown, and each rule that holds told once for its NAV date; that it was
// told is kept in the ledger on a worker.
void Apply(app::App& app, State& state, const FundResults& results) {
  State& s = state;
  if (!results) return;
  for (const RuleResult& result : *results) {
    const auto stored = std::find_if(s.rules.begin(), s.rules.end(),
                                     [&](const StoredAlert& r) { return r.id == result.id; });
    if (stored == s.rules.end()) continue;  // removed while its fund was asked
    stored->latest = result.latest;
    stored->nav_date = result.nav_date;
    const auto key = std::make_pair(result.id, result.nav_date);
    if (!result.body || s.told.contains(key) || result.told_before) continue;
    s.told.insert(key);
    stored->last_told = ToldAtText(app.clock().Now());
    app::StartStoreWrite(app, [&state, key, when = stored->last_told] {
      state.store.MarkTold(key.first, key.second, when);
    });
    Tell(app, state, *result.body);
  }
}

void Finish(app::App& app, State& state, const Check& check) {
  state.progress = "上次检查 " + base::DateTimeText(app.clock().Now());
  if (check.failed > 0) state.progress += "；" + base::IntToText(check.failed) + "支基金未能检查";
  ShowStatus(app, state);
}

}  // namespace

void StartCheck(app::App& app, State& state) {
  LoadOnce(state);
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kAlerts);
  std::vector<std::string> codes;
  for (const StoredAlert& rule : state.rules) {
    if (std::find(codes.begin(), codes.end(), rule.code) == codes.end()) {
      codes.push_back(rule.code);
    }
  }
  if (codes.empty()) return;
  auto check = std::make_shared<Check>();
  check->total = codes.size();
  state.progress = "检查中 0/" + base::IntToText(static_cast<long long>(check->total));
  ShowStatus(app, state);
  // An overtaken check's answers reach nobody, so it tells nothing more. Each fund's rules go
  // with its request as they are now.
  app::LoadEach(
      app, ticket, std::move(codes), kAtOnce,
      [&app, &state, rules = state.rules](const std::string& code) {
        return CheckFund(app, state.store, code, rules);
      },
      [&app, &state, check](const std::string&, const FundResults& results) {
        ++check->ended;
        if (!results) ++check->failed;
        Apply(app, state, results);
        state.progress = "检查中 " + base::IntToText(static_cast<long long>(check->ended)) + "/" +
                         base::IntToText(static_cast<long long>(check->total));
        ShowRules(app, state);
      },
      [&app, &state, check](bool completed) {
        if (completed) Finish(app, state, *check);
      });
}

}  // namespace alerts
