#include "positions/plans_window.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/load.h"
#include "base/decimal.h"
#include "base/nav_history.h"
#include "portal/fund_search.h"
#include "positions/fund_history.h"
#include "positions/plans.h"
#include "positions/positions.h"
#include "positions/trading.h"

namespace positions {

namespace {

constexpr int kFenDecimals = 2;

// What the plans window remembers between events.
struct Plans {
  // The plan of each data row of 定投表格.
  std::vector<std::int64_t> rows;
  // A change waits for its fund's name or its write: another click meanwhile is ignored.
  bool busy = false;
};

enum class Change { kAdd, kEdit, kPause, kResume };

std::string DayAfter(const std::string& day, int days = 1) {
  const std::optional<std::int32_t> number = base::DayNumber(day);
  return number ? base::DayText(*number + days) : std::string();
}

// A fee rate in percent with the decimals it needs: 1500 → "0.15".
std::string DayText(const Plan& plan) {
  switch (plan.cycle) {
    case Cycle::kDaily:
      return "";
    case Cycle::kWeekly:
    case Cycle::kFortnightly:
      return plan.day >= 1 && plan.day <= 5 ? kWeekdayTexts[plan.day - 1] : "";
    case Cycle::kMonthly:
      return std::to_string(plan.day) + "日";
  }
  return "";
}

// What one plan's line shows beyond the plan itself.
struct Figures {
  int periods = 0;            // its buys still in the ledger, confirmed or pending
  std::int64_t invested = 0;  // fen paid by them
  std::string next;           // the next period day, "" when paused or ended
  bool ended = false;         // no period is left before its end
};

Figures FiguresOf(const Book& book, const Plan& plan, const std::string& today) {
  Figures figures;
  for (const Record& record : book.records) {
    if (record.plan == plan.id && record.kind == RecordKind::kBuy) {
      ++figures.periods;
      figures.invested += record.amount;
    }
  }
  for (const PendingTrade& pending : book.trades) {
    if (pending.trade.plan == plan.id) {
      ++figures.periods;
      figures.invested += pending.trade.amount;
    }
  }
  // The first period day not made yet, and not before today. A daily plan's is the next
  // weekday: whether the fund trades on it, its history will tell.
  std::string from = plan.made_through.empty() ? plan.start : DayAfter(plan.made_through);
  from = std::max({from, plan.start, today});
  const std::optional<std::int32_t> first = base::DayNumber(from);
  std::string next;
  if (first && plan.cycle == Cycle::kDaily) {
    std::int32_t day = *first;
    while (WeekdayOf(day) > 5) ++day;
    next = base::DayText(day);
    if (!plan.end.empty() && next > plan.end) next.clear();
  } else if (first) {
    Plan running = plan;
    running.paused = false;
    // Two months hold a period of every cycle.
    const std::vector<std::string> days =
        PeriodDays(running, from, base::DayText(*first + 62), base::NavHistory{});
    if (!days.empty()) next = days.front();
  }
  figures.ended = !plan.end.empty() && next.empty();
  figures.next = plan.paused ? std::string() : next;
  return figures;
}

const Plan* PlanOf(const State& state, std::int64_t id) {
  for (const Plan& plan : state.book.plans) {
    if (plan.id == id) return &plan;
  }
  return nullptr;
}

// The plan of the chosen row of 定投表格, or nothing.
const Plan* ChosenPlan(app::App& app, const State& state, const Plans& plans) {
  const int row = app.plans_window().定投表格.CurrentRow();
  if (row < 1 || row > static_cast<int>(plans.rows.size())) return nullptr;
  return PlanOf(state, plans.rows[static_cast<size_t>(row - 1)]);
}

// The chosen plan for a change of it; nothing (and the user told) when no plan is chosen.
const Plan* PlanToChange(app::App& app, const State& state, const Plans& plans) {
  const Plan* chosen = ChosenPlan(app, state, plans);
  if (!chosen) app.dialogs().MessageBox(kNoPlanRowText);
  return chosen;
}

// 暂停定投钮 says what it does to the chosen plan.
void ShowPauseCaption(app::App& app, const State& state, const Plans& plans) {
  const Plan* plan = ChosenPlan(app, state, plans);
  app.plans_window().暂停定投钮.SetCaption(plan && plan->paused ? "恢复" : "暂停");
}

// The grid as the book shown stands; the chosen plan stays chosen.
void ShowPlans(app::App& app, const State& state, Plans& plans) {
  app::PlansWindow& window = app.plans_window();
  ui::Grid& grid = window.定投表格;
  const Plan* chosen = ChosenPlan(app, state, plans);
  const std::int64_t chosen_id = chosen ? chosen->id : 0;
  const std::string today = TodayText(app);
  plans.rows.clear();
  grid.SetRowCount(static_cast<int>(state.book.plans.size()) + 1);
  int reselect = -1;
  for (const Plan& plan : state.book.plans) {
    plans.rows.push_back(plan.id);
    const int row = static_cast<int>(plans.rows.size());
    if (plan.id == chosen_id) reselect = row;
    const Figures figures = FiguresOf(state.book, plan, today);
    const std::string texts[app::kPlansColumnCount] = {
        plan.name,
        plan.code,
        base::FormatScaled(plan.amount, kFenDecimals),
        plan.fee_rate == kFundFeeRate ? "基金费率" : FeeRateText(plan.fee_rate) + "%",
        kCycleTexts[static_cast<int>(plan.cycle)],
        DayText(plan),
        plan.start,
        plan.end,
        figures.ended ? "已结束"
        : plan.paused ? kPausedText
                      : "定投中",
        std::to_string(figures.periods),
        base::FormatScaled(figures.invested, kFenDecimals),
        figures.next};
    for (int column = 0; column < app::kPlansColumnCount; ++column) {
      grid.SetText(row, column, texts[column]);
    }
  }
  grid.SetCurrentRow(reselect);
  ShowPauseCaption(app, state, plans);
}

// The boxes show `plan`.
void FillBoxes(app::App& app, const Plan& plan) {
  app::PlansWindow& window = app.plans_window();
  window.定投代码框.SetText(plan.code);
  window.定投金额框.SetText(base::FormatScaled(plan.amount, kFenDecimals));
  window.定投费率框.SetText(FeeRateText(plan.fee_rate));
  window.定投周期框.SetCurrent(static_cast<int>(plan.cycle));
  window.ShowDayItems();
  // A weekday 1 to 5 and a day of the month 1 to 28 are both their item's number.
  if (plan.cycle != Cycle::kDaily) window.定投日框.SetCurrent(plan.day - 1);
  window.开始日期框.SetText(plan.start);
  window.结束日期框.SetText(plan.end);
}

// The plan the boxes give, or nothing (and the refusal shown). An empty fee rate is the
// fund's own, taken from its history when a period confirms.
std::optional<Plan> ReadBoxes(app::App& app) {
  app::PlansWindow& window = app.plans_window();
  PlanTexts texts;
  texts.code = window.定投代码框.Text();
  texts.amount = window.定投金额框.Text();
  texts.fee_rate = window.定投费率框.Text();
  texts.cycle = window.定投周期框.CurrentText();
  texts.day = window.定投日框.CurrentText();
  texts.start = window.开始日期框.Text();
  texts.end = window.结束日期框.Text();
  std::variant<Plan, std::string> read = ReadPlan(texts, kFundFeeRate);
  if (const std::string* message = std::get_if<std::string>(&read)) {
    app.dialogs().MessageBox(*message);
    return std::nullopt;
  }
  Plan& plan = std::get<Plan>(read);
  // A start after today waits for its day; one before the funds' time is a typing slip.
  if (plan.start < "1990-01-01") {
    app.dialogs().MessageBox(kPlanStartTooEarlyText);
    return std::nullopt;
  }
  return plan;
}

// The name the ledger already knows for `code`, "" when it knows none.
std::string KnownName(const State& state, const std::string& code) {
  for (const Record& record : state.book.records) {
    if (record.code == code && !record.name.empty()) return record.name;
  }
  for (const Plan& plan : state.book.plans) {
    if (plan.code == code && !plan.name.empty()) return plan.name;
  }
  for (const PendingTrade& pending : state.book.trades) {
    if (pending.trade.code == code && !pending.trade.name.empty()) return pending.trade.name;
  }
  return "";
}

// Saves a change of the stored plan `plan.id`, on a worker. Editing or pausing changes only the
// periods after the change: the ledger is settled first, so every period up to today is made
// with the plan as it was, and the plan is saved with the made_through that settlement left
// (today), whose later days take the new values. Resuming passes over the periods of the pause:
// made_through becomes at least yesterday, so today's period is made and none before it. The
// settlement and the save hold the ledger in
// between, so no other settlement can make a period the save would then make again.
bool SaveChange(app::App& app, State& state, Change change, const Plan& edited,
                const std::string& today) {
  const std::map<std::string, base::NavHistory> histories =
      change == Change::kResume ? std::map<std::string, base::NavHistory>()
                                : KeptHistories(app, state);
  return state.store.Use([&](store::Database&) {
    const Book book =
        change == Change::kResume ? state.store.ReadBook() : state.store.Settle(histories, today);
    const auto stored = std::find_if(book.plans.begin(), book.plans.end(),
                                     [&](const Plan& plan) { return plan.id == edited.id; });
    if (stored == book.plans.end()) return false;
    Plan saved = change == Change::kEdit ? edited : *stored;
    saved.made_through = stored->made_through;
    if (change == Change::kEdit) {
      saved.paused = stored->paused;
      saved.account = stored->account;
    }
    if (change == Change::kPause) saved.paused = true;
    if (change == Change::kResume) {
      saved.paused = false;
      saved.made_through = std::max(stored->made_through, DayAfter(today, -1));
    }
    return state.store.SavePlan(saved).has_value();
  });
}

// What a change's load found: the fund's name (empty when none was found) and whether the
// change reached the ledger.
struct Outcome {
  std::string name;
  bool saved = false;
};

// Runs `change` of `plan` on a worker, its fund's name found first when the plan has none:
// from the fund's kept history, else the portal's search. The window shows the book after it.
void StartChange(app::App& app, State& state, const std::shared_ptr<Plans>& plans, Change change,
                 Plan plan) {
  plans->busy = true;
  app.plans_window().定投状态.SetCaption(plan.name.empty() ? "正在查找基金……" : "正在保存……");
  const std::string today = TodayText(app);
  app::StartLoad(
      app, app.loads().Start(app::LoadTarget::kPlanEntry),
      [&app, &state, change, plan, today]() mutable {
        Outcome outcome;
        if (plan.name.empty()) {
          std::optional<base::NavHistory> history = KeptFundHistory(app, plan.code);
          plan.name = history ? history->name : "";
        }
        if (plan.name.empty()) {
          plan.name = portal::FetchFundName(app.portal(), plan.code, &app.transfers()).value_or("");
        }
        outcome.name = plan.name;
        if (plan.name.empty()) return outcome;
        outcome.saved = change == Change::kAdd ? state.store.SavePlan(plan).has_value()
                                               : SaveChange(app, state, change, plan, today);
        return outcome;
      },
      [&app, &state, plans, change, code = plan.code](const Outcome& outcome) {
        plans->busy = false;
        app::PlansWindow& window = app.plans_window();
        if (outcome.name.empty()) {
          window.定投状态.SetCaption("");
          app.dialogs().MessageBox(kNotFoundText + code);
          return;
        }
        if (!outcome.saved) {
          window.定投状态.SetCaption("");
          AfterWrite(app, state);
          app.dialogs().MessageBox(kCannotSaveText);
          return;
        }
        const char* done[] = {"已添加定投计划：", "已修改定投计划：", "已暂停定投计划：",
                              "已恢复定投计划："};
        window.定投状态.SetCaption(done[static_cast<int>(change)] + outcome.name);
        AfterWrite(app, state);
      },
      [plans] { plans->busy = false; });
}

void OnAdd(app::App& app, State& state, const std::shared_ptr<Plans>& plans) {
  if (plans->busy) return;
  std::optional<Plan> plan = ReadBoxes(app);
  if (!plan) return;
  plan->name = KnownName(state, plan->code);
  plan->account = NewAccount(state);
  StartChange(app, state, plans, Change::kAdd, *plan);
}

void OnEdit(app::App& app, State& state, const std::shared_ptr<Plans>& plans) {
  if (plans->busy) return;
  const Plan* chosen = PlanToChange(app, state, *plans);
  if (!chosen) return;
  const Plan before = *chosen;
  std::optional<Plan> plan = ReadBoxes(app);
  if (!plan) return;
  plan->id = before.id;
  plan->name = plan->code == before.code ? before.name : KnownName(state, plan->code);
  StartChange(app, state, plans, Change::kEdit, *plan);
}

void OnPause(app::App& app, State& state, const std::shared_ptr<Plans>& plans) {
  if (plans->busy) return;
  const Plan* chosen = PlanToChange(app, state, *plans);
  if (!chosen) return;
  StartChange(app, state, plans, chosen->paused ? Change::kResume : Change::kPause, *chosen);
}

// The buys a deleted plan made stay: they are the user's money, and a pending one still
// confirms.
void OnDelete(app::App& app, State& state, const std::shared_ptr<Plans>& plans) {
  if (plans->busy) return;
  const Plan* chosen = PlanToChange(app, state, *plans);
  if (!chosen) return;
  const Plan plan = *chosen;
  if (!app.dialogs().AskYesNo("确定删除" + plan.name + "的定投计划吗？已定投的买入将保留。")) {
    return;
  }
  if (!state.store.RemovePlan(plan.id)) {
    app.dialogs().MessageBox(kCannotSaveText);
    return;
  }
  app.plans_window().定投状态.SetCaption("已删除定投计划：" + plan.name);
  AfterWrite(app, state);
}

}  // namespace

void InstallPlans(app::App& app, State& state) {
  auto plans = std::make_shared<Plans>();
  app::PlansWindow& window = app.plans_window();
  window.on_created = [&app, &state, plans] { ShowPlans(app, state, *plans); };
  state.on_book_shown.push_back([&app, &state, plans] {
    if (app.plans_window().Loaded()) ShowPlans(app, state, *plans);
  });
  window.定投表格.on_cell_event = [&app, &state, plans](int, int) {
    const Plan* plan = ChosenPlan(app, state, *plans);
    if (plan) FillBoxes(app, *plan);
    ShowPauseCaption(app, state, *plans);
  };
  window.定投周期框.on_changed = [&app] { app.plans_window().ShowDayItems(); };
  window.添加定投钮.on_click = [&app, &state, plans] { OnAdd(app, state, plans); };
  window.修改定投钮.on_click = [&app, &state, plans] { OnEdit(app, state, plans); };
  window.暂停定投钮.on_click = [&app, &state, plans] { OnPause(app, state, plans); };
  window.删除定投钮.on_click = [&app, &state, plans] { OnDelete(app, state, plans); };
  app.positions_window().定投计划钮.on_click = [&app] { app.plans_window().Show(); };
}

}  // namespace positions
