#include "positions/analysis_window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/load.h"
#include "base/decimal.h"
#include "base/nav_history.h"
#include "base/text.h"
#include "positions/analysis.h"
#include "positions/fund_history.h"
#include "positions/plans.h"
#include "ui/chart_marks.h"

namespace positions {

namespace {

constexpr ui::Colour kProfitRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kLossGreen = ui::Rgb(0, 128, 0);
constexpr ui::Colour kValueColour = ui::Rgb(220, 40, 40);
constexpr ui::Colour kPrincipalColour = ui::Rgb(0, 90, 200);
// Rates this far out (a few days' gain compounded over a year) have no meaningful text.
constexpr double kLargestRate = 1e12;

ui::Colour SignColour(std::int64_t value) {
  return value > 0 ? kProfitRed : value < 0 ? kLossGreen : ui::kDefaultTextColour;
}

std::string MoneyText(std::int64_t fen, bool sign = false) {
  return base::FormatScaled(fen, 2, sign);
}

// A fraction as a percent with two decimals ("+1.23%" with `sign`), "--" for none.
std::optional<std::int64_t> BasisPoints(std::optional<double> rate) {
  if (!rate || !(std::abs(*rate) < kLargestRate)) return std::nullopt;
  return std::llround(*rate * 10000);
}
std::string PercentText(std::optional<double> rate, bool sign = false) {
  const std::optional<std::int64_t> points = BasisPoints(rate);
  return points ? base::FormatScaled(*points, 2, sign) + "%" : "--";
}

int MonthLength(int year, int month) {
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leap ? 29 : kLengths[month - 1];
}

std::string MonthPrefix(int year, int month) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d", year, month);
  return text;
}

// The day `months` months before `day` (the month's last day where it is shorter).
std::string MonthsBefore(const std::string& day, int months) {
  int year = std::stoi(day.substr(0, 4));
  int month = std::stoi(day.substr(5, 2)) - months;
  while (month < 1) {
    month += 12;
    --year;
  }
  const int date = std::min(std::stoi(day.substr(8, 2)), MonthLength(year, month));
  char text[16];
  std::snprintf(text, sizeof text, "-%02d", date);
  return MonthPrefix(year, month) + text;
}

// What a load computed on a worker.
struct Computed {
  size_t records = 0;
  size_t without_history = 0;  // funds whose NAV history is not kept
  std::shared_ptr<const Analysis> analysis;
};

// What the window remembers between events.
struct View {
  std::shared_ptr<const Analysis> analysis;
  size_t records = 0;
  size_t without_history = 0;
  int year = 0;  // the month 收益日历 shows
  int month = 0;
  app::ValuePeriod period = app::ValuePeriod::kAll;
  std::unique_ptr<ui::Canvas> picture;
  // One analysis runs at a time: a book shown meanwhile overtakes it and waits for its end (a
  // refresh shows a book for every fund it brings).
  bool running = false;
  bool waiting = false;
};

// The chart: 总资产 and 投入本金 of the shown days as two lines over one money axis, a date axis
// below; the days spaced evenly.
void DrawValues(ui::Canvas& canvas, std::span<const AnalysisDay> days) {
  constexpr int kLeft = 72, kRight = 12, kTop = 24, kBottom = 28, kSteps = 4;
  const int left = kLeft, right = std::max(kLeft + 1, canvas.Width() - kRight);
  const int top = kTop, bottom = std::max(kTop + 1, canvas.Height() - kBottom);
  canvas.SetDrawMode(ui::DrawMode::kNormal);
  canvas.SetBrushColour(ui::Rgb(255, 255, 255));
  canvas.Clear();
  canvas.SetFontSize(9);
  canvas.SetPenWidth(0);
  canvas.SetTextColour(ui::Rgb(64, 64, 64));
  if (days.empty()) {
    canvas.Text(left, (top + bottom) / 2, "没有数据");
    return;
  }
  std::int64_t low = std::min(days.front().value, days.front().principal);
  std::int64_t high = std::max(days.front().value, days.front().principal);
  for (const AnalysisDay& day : days) {
    low = std::min({low, day.value, day.principal});
    high = std::max({high, day.value, day.principal});
  }
  const std::int64_t pad = std::max<std::int64_t>((high - low) / 20, 100);
  low = low >= 0 ? std::max<std::int64_t>(0, low - pad) : low - pad;
  high += pad;
  const auto y_of = [&](std::int64_t value) {
    return bottom -
           static_cast<int>(static_cast<__int128>(value - low) * (bottom - top) / (high - low));
  };
  const auto x_of = [&](size_t index) {
    if (days.size() < 2) return (left + right) / 2;
    return left + static_cast<int>(static_cast<std::int64_t>(index) * (right - left) /
                                   static_cast<std::int64_t>(days.size() - 1));
  };
  canvas.SetPenStyle(ui::PenStyle::kDotted);
  canvas.SetPenColour(ui::Rgb(190, 190, 190));
  for (int step = 0; step <= kSteps; ++step) {
    const std::int64_t value = low + (high - low) * step / kSteps;
    canvas.Line(left, y_of(value), right, y_of(value));
    canvas.Text(4, y_of(value) - 7, base::IntToText(static_cast<long long>(value / 100)));
  }
  ui::DrawDayAxis(canvas, canvas.Width(), days.size(), 4, top, bottom, x_of,
                  [&days](size_t index) { return days[index].day; });
  canvas.SetPenStyle(ui::PenStyle::kSolid);
  ui::DrawLegend(canvas, left, {{kValueColour, "总资产"}, {kPrincipalColour, "投入本金"}});
  canvas.SetPenWidth(0);
  // The principal first, so that the value is drawn over it where they meet.
  for (const bool principal : {true, false}) {
    canvas.SetPenColour(principal ? kPrincipalColour : kValueColour);
    const auto money = [principal](const AnalysisDay& day) {
      return principal ? day.principal : day.value;
    };
    for (size_t i = 1; i < days.size(); ++i) {
      canvas.Line(x_of(i - 1), y_of(money(days[i - 1])), x_of(i), y_of(money(days[i])));
    }
  }
}

// The days of the chart's period: those after the day that many months before the last one.
std::span<const AnalysisDay> PeriodDays(const std::vector<AnalysisDay>& days,
                                        app::ValuePeriod period) {
  constexpr int kMonths[] = {1, 3, 6, 12, 36};
  if (days.empty() || period == app::ValuePeriod::kAll) return days;
  const std::string from = MonthsBefore(days.back().day, kMonths[static_cast<int>(period)]);
  const auto first =
      std::upper_bound(days.begin(), days.end(), from,
                       [](const std::string& day, const AnalysisDay& d) { return day < d.day; });
  return {first, days.end()};
}

void Redraw(app::App& app, View& view) {
  app::AnalysisWindow& window = app.analysis_window();
  for (int i = 0; i < app::kValuePeriodCount; ++i) {
    // The chosen period's button is the one that cannot be clicked again.
    window.区间钮[static_cast<size_t>(i)].SetEnabled(static_cast<int>(view.period) != i);
  }
  ui::Canvas* canvas = window.资产画板.GetCanvas();
  if (canvas == nullptr) return;
  static const std::vector<AnalysisDay> kNone;
  if (!view.picture) view.picture = canvas->CreateLike();
  DrawValues(*view.picture, PeriodDays(view.analysis ? view.analysis->days : kNone, view.period));
  view.picture->CopyTo(*canvas);
  window.资产画板.Refresh();
}

const PeriodProfit* FindPeriod(const std::vector<PeriodProfit>& periods, int year, int month) {
  for (const PeriodProfit& period : periods) {
    if (period.year == year && period.month == month) return &period;
  }
  return nullptr;
}

// 收益日历 of the month the view holds, its totals and the buttons that leave it.
void ShowCalendar(app::App& app, const View& view) {
  app::AnalysisWindow& window = app.analysis_window();
  ui::Grid& grid = window.收益日历;
  grid.SetRowCount(1);
  const Analysis* analysis = view.analysis.get();
  if (analysis == nullptr || analysis->days.empty() || view.year == 0) {
    window.月份标签.SetCaption("");
    window.月收益标签.SetCaption("本月收益");
    window.年收益标签.SetCaption("本年收益");
    window.上月钮.SetEnabled(false);
    window.下月钮.SetEnabled(false);
    return;
  }
  const std::string prefix = MonthPrefix(view.year, view.month);
  window.月份标签.SetCaption(std::to_string(view.year) + "年" + std::to_string(view.month) + "月");
  window.上月钮.SetEnabled(analysis->days.front().day < prefix);
  window.下月钮.SetEnabled(analysis->days.back().day.substr(0, 7) > prefix);
  // The month's trading days by their date.
  std::map<int, std::int64_t> profits;
  auto day =
      std::lower_bound(analysis->days.begin(), analysis->days.end(), prefix,
                       [](const AnalysisDay& d, const std::string& text) { return d.day < text; });
  for (; day != analysis->days.end() && day->day.compare(0, 7, prefix) == 0; ++day) {
    profits[std::stoi(day->day.substr(8, 2))] = day->profit;
  }
  const int offset = WeekdayOf(*base::DayNumber(prefix + "-01")) - 1;
  const int length = MonthLength(view.year, view.month);
  const int weeks = (offset + length + 6) / 7;
  grid.SetRowCount(1 + 2 * weeks);
  for (int date = 1; date <= length; ++date) {
    const int row = 1 + 2 * ((offset + date - 1) / 7);
    const int column = (offset + date - 1) % 7;
    grid.SetText(row, column, std::to_string(date));
    const auto profit = profits.find(date);
    if (profit == profits.end()) continue;
    grid.SetText(row + 1, column, MoneyText(profit->second, true));
    grid.SetTextColour(row + 1, column, SignColour(profit->second));
  }
  const PeriodProfit* month = FindPeriod(analysis->months, view.year, view.month);
  const PeriodProfit* year = FindPeriod(analysis->years, view.year, 0);
  window.月收益标签.SetCaption(std::to_string(view.month) + "月收益 " +
                               (month ? MoneyText(month->profit, true) : "--"));
  window.年收益标签.SetCaption(std::to_string(view.year) + "年收益 " +
                               (year ? MoneyText(year->profit, true) : "--"));
}

void ShowReturns(app::App& app, const View& view) {
  ui::Grid& grid = app.analysis_window().月度收益表格;
  grid.SetRowCount(1);
  if (!view.analysis) return;
  const std::vector<YearReturns>& returns = view.analysis->returns;
  grid.SetRowCount(static_cast<int>(returns.size()) + 1);
  int row = 1;
  for (const YearReturns& year : returns) {
    grid.SetText(row, app::kReturnYear, std::to_string(year.year));
    for (int column = 1; column <= app::kReturnWhole; ++column) {
      const std::optional<double> rate =
          column == app::kReturnWhole ? year.whole : year.months[static_cast<size_t>(column - 1)];
      const std::optional<std::int64_t> points = BasisPoints(rate);
      grid.SetText(row, column, points ? PercentText(rate, true) : "");
      grid.SetTextColour(row, column, points ? SignColour(*points) : ui::kDefaultTextColour);
    }
    ++row;
  }
}

void ShowSummary(app::App& app, const View& view) {
  app::AnalysisWindow& window = app.analysis_window();
  const AnalysisSummary none;
  const bool shown = view.analysis && view.analysis->fits && !view.analysis->days.empty();
  const AnalysisSummary& s = shown ? view.analysis->summary : none;
  const auto money = [shown](std::int64_t fen, bool sign = false) {
    return shown ? MoneyText(fen, sign) : std::string("--");
  };
  window.总资产标签.SetCaption("总资产 " + money(s.value));
  window.累计投入标签.SetCaption("累计投入 " + money(s.principal));
  window.累计收益标签.SetCaption("累计收益 " + money(s.profit, true));
  window.累计收益率标签.SetCaption("累计收益率 " + PercentText(s.time_weighted, true));
  window.年化收益率标签.SetCaption("年化收益率 " + PercentText(s.annual_time_weighted, true));
  window.年化收益标签.SetCaption("年化收益 " + PercentText(s.money_weighted, true));
  std::string drawdown = "最大回撤 " + PercentText(s.max_drawdown);
  if (s.max_drawdown && *s.max_drawdown > 0 && !s.peak_day.empty()) {
    drawdown += "（" + s.peak_day + "至" + s.trough_day + "）";
  }
  window.最大回撤标签.SetCaption(drawdown);
  window.年化波动标签.SetCaption("年化波动 " + PercentText(s.volatility));
}

void ShowStatusLine(app::App& app, const View& view) {
  std::string text;
  const Analysis* analysis = view.analysis.get();
  if (view.records == 0) {
    text = kNoRecordsText;
  } else if (analysis == nullptr) {
    text = kAnalysingText;
  } else if (!analysis->fits) {
    text = "金额超出计算范围，无法分析";
  } else if (analysis->days.empty()) {
    text = "记录之后还没有净值";
  } else {
    text = "共" + base::IntToText(static_cast<long long>(analysis->days.size())) +
           "个交易日，截至" + analysis->days.back().day;
  }
  const auto note = [&text](size_t count, const char* what) {
    if (count > 0) text += "；" + base::IntToText(static_cast<long long>(count)) + what;
  };
  if (analysis != nullptr) {
    note(analysis->waiting, "笔记录等待净值，未计入");
    note(analysis->refused, "笔记录有误，未计入");
  }
  note(view.without_history, "支基金没有净值历史，按成交净值计");
  app.analysis_window().分析状态.SetCaption(text);
}

void ShowAll(app::App& app, View& view) {
  ShowSummary(app, view);
  ShowCalendar(app, view);
  ShowReturns(app, view);
  Redraw(app, view);
  ShowStatusLine(app, view);
}

void Run(app::App& app, State& state, const std::shared_ptr<View>& view,
         const app::LoadTicket& ticket);

// A new analysis of the chosen account's records; the newest wins.
void Load(app::App& app, State& state, const std::shared_ptr<View>& view) {
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kAnalysis);
  app.analysis_window().分析状态.SetCaption(kAnalysingText);
  if (view->running) {
    view->waiting = true;
    return;
  }
  Run(app, state, view, ticket);
}

// The worker reads the kept histories of the funds the records name (no request) and analyses
// them; an overtaken analysis stops between funds, and the newest starts when it ends.
void Run(app::App& app, State& state, const std::shared_ptr<View>& view,
         const app::LoadTicket& ticket) {
  view->running = true;
  const auto ended = [&app, &state, view] {
    view->running = false;
    if (!view->waiting) return;
    view->waiting = false;
    Run(app, state, view, app.loads().Current(app::LoadTarget::kAnalysis));
  };
  std::vector<Record> records = AccountRecords(state);
  app::StartLoad(
      app, ticket,
      [&app, ticket, records = std::move(records)] {
        Computed computed;
        computed.records = records.size();
        std::set<std::string> codes;
        for (const Record& record : records) codes.insert(record.code);
        std::map<std::string, base::NavHistory> histories;
        for (const std::string& code : codes) {
          if (!app.loads().IsCurrent(ticket)) return computed;
          std::optional<base::NavHistory> history = KeptFundHistory(app, code);
          if (history) {
            histories.emplace(code, std::move(*history));
          } else {
            ++computed.without_history;
          }
        }
        if (!app.loads().IsCurrent(ticket)) return computed;
        computed.analysis = std::make_shared<const Analysis>(Analyse(records, histories));
        return computed;
      },
      [&app, view, ended](Computed computed) {
        ended();
        if (!computed.analysis) return;
        view->analysis = std::move(computed.analysis);
        view->records = computed.records;
        view->without_history = computed.without_history;
        // The month shown stays while it still has days; else the latest month is shown.
        const std::vector<AnalysisDay>& days = view->analysis->days;
        const std::string shown = view->year == 0 ? "" : MonthPrefix(view->year, view->month);
        if (days.empty()) {
          view->year = view->month = 0;
        } else if (shown.empty() || shown < days.front().day.substr(0, 7) ||
                   shown > days.back().day.substr(0, 7)) {
          view->year = std::stoi(days.back().day.substr(0, 4));
          view->month = std::stoi(days.back().day.substr(5, 2));
        }
        ShowAll(app, *view);
      },
      ended);
}

void StepMonth(app::App& app, View& view, int step) {
  if (view.year == 0) return;
  view.month += step;
  if (view.month < 1) {
    view.month = 12;
    --view.year;
  } else if (view.month > 12) {
    view.month = 1;
    ++view.year;
  }
  ShowCalendar(app, view);
}

}  // namespace

void InstallAnalysis(app::App& app, State& state) {
  auto view = std::make_shared<View>();
  app::AnalysisWindow& window = app.analysis_window();
  window.on_created = [&app, &state, view] {
    view->analysis.reset();
    view->year = view->month = 0;
    view->period = app::ValuePeriod::kAll;
    view->picture.reset();
    Redraw(app, *view);
    Load(app, state, view);
  };
  // Closed, the window's load writes nothing more; it starts afresh when it opens again.
  window.on_destroyed = [&app, view] {
    app.loads().Invalidate(app::LoadTarget::kAnalysis);
    view->waiting = false;
    view->analysis.reset();
  };
  state.on_book_shown.push_back([&app, &state, view] {
    if (app.analysis_window().Visible()) Load(app, state, view);
  });
  window.上月钮.on_click = [&app, view] { StepMonth(app, *view, -1); };
  window.下月钮.on_click = [&app, view] { StepMonth(app, *view, 1); };
  for (int i = 0; i < app::kValuePeriodCount; ++i) {
    window.区间钮[static_cast<size_t>(i)].on_click = [&app, view, i] {
      view->period = static_cast<app::ValuePeriod>(i);
      Redraw(app, *view);
    };
  }
  app.positions_window().收益分析钮.on_click = [&app] {
    app::AnalysisWindow& shown = app.analysis_window();
    if (shown.Visible()) shown.Raise();
    shown.Show();
  };
}

}  // namespace positions
