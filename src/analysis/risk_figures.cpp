#include "analysis/risk_figures.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace analysis {

namespace {

// Leading digits of `text` from `at` (at most `most`); moves `at` past them.
std::optional<int> Digits(std::string_view text, size_t& at, size_t most) {
  const size_t from = at;
  int value = 0;
  while (at < text.size() && at - from < most && text[at] >= '0' && text[at] <= '9') {
    value = value * 10 + (text[at++] - '0');
  }
  if (at == from) return std::nullopt;
  return value;
}

// Hundredths of `value` rounded half away from zero, as "x.yy" with a sign when negative.
std::string Hundredths(double value) {
  const long long scaled = std::llround(value * 100);
  const unsigned long long magnitude = scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled)
                                                  : static_cast<unsigned long long>(scaled);
  char text[48];
  std::snprintf(text, sizeof text, "%s%llu.%02llu", scaled < 0 ? "-" : "", magnitude / 100,
                magnitude % 100);
  return text;
}

}  // namespace

std::optional<long> DayNumber(std::string_view date) {
  size_t at = 0;
  const std::optional<int> year = Digits(date, at, 4);
  if (!year || at != 4 || at >= date.size() || (date[at] != '/' && date[at] != '-')) {
    return std::nullopt;
  }
  const char separator = date[at++];
  const std::optional<int> month = Digits(date, at, 2);
  if (!month || at >= date.size() || date[at++] != separator) return std::nullopt;
  const std::optional<int> day = Digits(date, at, 2);
  if (!day || at != date.size()) return std::nullopt;
  const std::chrono::year_month_day ymd{std::chrono::year(*year),
                                        std::chrono::month(static_cast<unsigned>(*month)),
                                        std::chrono::day(static_cast<unsigned>(*day))};
  if (!ymd.ok()) return std::nullopt;
  return std::chrono::sys_days(ymd).time_since_epoch().count();
}

std::string IsoDate(std::string_view date) {
  const std::optional<long> day = DayNumber(date);
  if (!day) return std::string(date);
  const std::chrono::year_month_day ymd{std::chrono::sys_days(std::chrono::days(*day))};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return text;
}

RiskFigures FiguresOf(const std::vector<std::string>& dates, const std::vector<float>& yields,
                      double risk_free) {
  RiskFigures figures;
  std::vector<double> wealth;
  for (float yield : yields) {
    const double w = 1 + static_cast<double>(yield) / 100;
    if (!std::isfinite(w) || w <= 0) return figures;
    wealth.push_back(w);
  }
  if (wealth.empty()) return figures;
  const size_t n = wealth.size();
  figures.interval_return = wealth.back() / wealth.front() - 1;

  const Fall fall = LargestFall(wealth);
  figures.max_drawdown = fall.fall;
  figures.peak = fall.peak;
  figures.trough = fall.trough;

  const std::optional<long> first = dates.size() == n ? DayNumber(dates.front()) : std::nullopt;
  const std::optional<long> last = dates.size() == n ? DayNumber(dates.back()) : std::nullopt;
  if (!first || !last || *last - *first < kMinAnnualDays) return figures;
  const auto days = static_cast<double>(*last - *first);
  figures.annual_return = Annualised(wealth.back() / wealth.front(), days);
  figures.volatility = AnnualVolatility(wealth, days);
  if (figures.volatility && *figures.volatility > 0) {
    figures.sharpe = (*figures.annual_return - risk_free) / *figures.volatility;
  }
  return figures;
}

std::string PercentText(std::optional<double> fraction) {
  return fraction ? Hundredths(*fraction * 100) + "%" : "--";
}

std::string DrawdownText(std::optional<double> fall) {
  if (!fall) return "--";
  return std::llround(*fall * 10000) == 0 ? "0.00%" : Hundredths(-*fall * 100) + "%";
}

std::string RatioText(std::optional<double> ratio) { return ratio ? Hundredths(*ratio) : "--"; }

double RiskFreePercent(std::string_view text, double fallback) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty()) return fallback;
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  // Only a plain decimal counts: no hex, exponent, inf or nan.
  for (char c : copy) {
    if ((c < '0' || c > '9') && c != '.' && c != '-' && c != '+') return fallback;
  }
  if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return fallback;
  return value;
}

}  // namespace analysis
