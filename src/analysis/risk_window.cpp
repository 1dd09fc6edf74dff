#include "analysis/risk_window.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "analysis/risk_figures.h"
#include "app/fund_columns.h"

namespace analysis {

namespace {

struct PeriodName {
  const char* key;
  const char* text;
};
constexpr PeriodName kPeriodNames[] = {
    {"week", "近1周"}, {"month", "近1月"},   {"threemonth", "近3月"}, {"sixmonth", "近6月"},
    {"year", "近1年"}, {"twoyear", "近2年"}, {"threeyear", "近3年"},
};

// What the chart drew last; nothing before its first drawing.
using LastDrawn = std::shared_ptr<std::optional<chart::DrawnComparison>>;

// The fund's name as the comparison grid or the fund grid shows it, else its code. The chart
// knows codes only; the compared fund's name is kept in its row of the comparison grid alone, so
// that row is read here.
std::string NameOf(app::App& app, const std::string& code) {
  const ui::Grid& compared = app.main_window().高级表格2;
  if (compared.Text(1, app::Col(app::FundColumn::kCode)) == code) {
    return compared.Text(1, app::Col(app::FundColumn::kName));
  }
  return app.shown_funds().NameOf(app.loads(), code).value_or(code);
}

double RiskFree(app::App& app) {
  return RiskFreePercent(app.config().Read(kRiskFreeSection, kRiskFreeKey), kDefaultRiskFree);
}

void Show(app::App& app, const std::optional<chart::DrawnComparison>& drawn) {
  app::FiguresWindow& window = app.figures_window();
  ui::Grid& grid = window.指标表格;
  const double risk_free = RiskFree(app);
  char rate[48];
  std::snprintf(rate, sizeof rate, "%s%%", RatioText(risk_free).c_str());
  window.指标说明.SetCaption(std::string("无风险利率") + rate);
  const int rows = drawn ? static_cast<int>(drawn->series.size()) : 0;
  grid.SetRowCount(rows + 1);
  for (int row = 1; row <= rows; ++row) {
    const chart::DrawnSeries& series = drawn->series[row - 1];
    const RiskFigures figures = FiguresOf(drawn->dates, series.values, risk_free / 100);
    grid.SetText(row, app::kFigName, NameOf(app, series.code));
    grid.SetText(row, app::kFigPeriod, PeriodText(drawn->period));
    grid.SetText(row, app::kFigReturn, PercentText(figures.interval_return));
    grid.SetText(row, app::kFigAnnualReturn, PercentText(figures.annual_return));
    grid.SetText(row, app::kFigDrawdown, DrawdownText(figures.max_drawdown));
    const bool fell = figures.peak != figures.trough && figures.trough < drawn->dates.size();
    grid.SetText(
        row, app::kFigDrawdownSpan,
        fell ? IsoDate(drawn->dates[figures.peak]) + "至" + IsoDate(drawn->dates[figures.trough])
             : "");
    grid.SetText(row, app::kFigVolatility, PercentText(figures.volatility));
    grid.SetText(row, app::kFigSharpe, RatioText(figures.sharpe));
  }
}

}  // namespace

std::string PeriodText(const std::string& key) {
  for (const PeriodName& name : kPeriodNames) {
    if (key == name.key) return name.text;
  }
  return key;
}

void RiskWindow::Install(chart::ComparisonState& comparison) {
  app::App& app = app_;
  app.figures_window().on_created = [this] { Show(app_, last_); };
  app.main_window().指标钮.on_click = [&app] { app.figures_window().Show(); };
  comparison.on_drawn = [this](const chart::DrawnComparison& drawn) {
    last_ = drawn;
    if (app_.figures_window().Loaded()) Show(app_, last_);
  };
}

}  // namespace analysis
