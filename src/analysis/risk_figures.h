#pragma once

// Risk and return figures of one series of cumulative yields, as the yield chart draws it: a
// date and a yield in percent per point, the wealth at each point 1 + yield / 100. Plain
// values: no ui, no app.

#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

// Days since 1970-01-01 of a date written year, month and day with "/" or "-" between them
// ("2021/08/19", "2021-8-9"); nothing for anything else.
std::optional<long> DayNumber(std::string_view date);
// The date as YYYY-MM-DD; the text itself when it is no date.
std::string IsoDate(std::string_view date);

// Fractions, not percents: 0.1234 is 12.34 %. A figure that cannot be given is empty.
struct RiskFigures {
  std::optional<double> interval_return;  // w_last / w_first - 1
  std::optional<double> annual_return;    // over at least 30 calendar days
  std::optional<double> max_drawdown;     // the largest fall from a peak, 0 or more
  size_t peak = 0;                        // points of that fall; equal when it never fell
  size_t trough = 0;
  std::optional<double> volatility;  // sample deviation of the point-to-point returns, a year
  std::optional<double> sharpe;      // (annual return - risk free) / volatility
};

inline constexpr int kMinAnnualDays = 30;
inline constexpr double kDaysPerYear = 365;

// The formulas on a series of wealth (each point above 0), shared with the positions'
// analysis, which has no ui: inline, so that plain-value code uses them without this library.

// The largest fall from a peak, (w_peak - w_trough) / w_peak, 0 or more, and its points (the
// first such fall; both 0 when it never fell).
struct Fall {
  double fall = 0;
  size_t peak = 0;
  size_t trough = 0;
};
inline Fall LargestFall(const std::vector<double>& wealth) {
  Fall largest;
  size_t peak = 0;
  for (size_t i = 0; i < wealth.size(); ++i) {
    if (wealth[i] > wealth[peak]) peak = i;
    const double here = (wealth[peak] - wealth[i]) / wealth[peak];
    if (here > largest.fall) largest = {here, peak, i};
  }
  return largest;
}

// A ratio of wealth over `days` calendar days as a return a year: ratio^(365 / days) - 1.
inline double Annualised(double ratio, double days) {
  return std::pow(ratio, kDaysPerYear / days) - 1;
}

// The sample deviation (divided by count - 1) of the point-to-point returns of `wealth`,
// scaled to a year by the points a year over `days` calendar days; nothing below three points.
inline std::optional<double> AnnualVolatility(const std::vector<double>& wealth, double days) {
  const size_t n = wealth.size();
  if (n < 3) return std::nullopt;
  std::vector<double> returns;
  returns.reserve(n - 1);
  for (size_t i = 1; i < n; ++i) returns.push_back(wealth[i] / wealth[i - 1] - 1);
  double mean = 0;
  for (double value : returns) mean += value;
  mean /= static_cast<double>(returns.size());
  double squares = 0;
  for (double value : returns) squares += (value - mean) * (value - mean);
  const double deviation = std::sqrt(squares / static_cast<double>(returns.size() - 1));
  return deviation * std::sqrt(static_cast<double>(n - 1) * kDaysPerYear / days);
}

// The figures of `yields` (percent) at `dates` (one per point, first to last), with the
// risk-free rate `risk_free` as a fraction a year. A series without a point, with a wealth of
// 0 or less or not finite gives no figure at all; dates that are no dates, or a last before the
// first, give none of the figures that need the days.
RiskFigures FiguresOf(const std::vector<std::string>& dates, const std::vector<float>& yields,
                      double risk_free);

// A fraction as a percent with two decimals, rounded half away from zero: "12.34%", "-0.50%";
// "--" when empty.
std::string PercentText(std::optional<double> fraction);
// A fall as a negative percent ("-8.21%"), "0.00%" when it rounds to nothing.
std::string DrawdownText(std::optional<double> fall);
// A ratio with two decimals ("1.23"); "--" when empty.
std::string RatioText(std::optional<double> ratio);

// The risk-free rate in percent a year from its settings text; `fallback` when the text is
// missing or not a number.
double RiskFreePercent(std::string_view text, double fallback);

}  // namespace analysis
