#include "positions/annual_return.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "base/decimal.h"
#include "positions/trades.h"

namespace positions {

namespace {

constexpr double kDaysPerYear = 365;
constexpr int kNewtonSteps = 100;
constexpr int kHalvings = 200;
// The rates looked at, as x = ln(1 + r): from the smallest 1 + r a double tells from 0 (a rate
// above -100 %) up to 10^6 %.
const double kLowestX = std::log(std::numeric_limits<double>::epsilon());
const double kHighestX = std::log1p(1e4);
// Where Newton's steps fail, a sign change is looked for at steps this fine in x.
constexpr double kScanStep = 0.02;

// The flows' present value as a function of x = ln(1 + r): Σ a_k e^(-x t_k). Each term is
// divided by the largest of them, so that neither a rate near a total loss nor one of
// thousands of percent overflows: the sign and the ratio of value to slope are those of the
// unscaled sum.
struct Discounted {
  std::vector<double> years;        // t_k, from the first day
  std::vector<double> log_amounts;  // ln |a_k|
  std::vector<double> signs;        // the sign of a_k

  struct Point {
    double value = 0;
    double slope = 0;
    double magnitude = 0;  // Σ |term|, for the tolerance
  };
  Point At(double x) const {
    double largest = -std::numeric_limits<double>::infinity();
    for (size_t k = 0; k < years.size(); ++k) {
      largest = std::max(largest, log_amounts[k] - x * years[k]);
    }
    Point point;
    for (size_t k = 0; k < years.size(); ++k) {
      const double term = std::exp(log_amounts[k] - x * years[k] - largest);
      point.value += signs[k] * term;
      point.slope -= years[k] * signs[k] * term;
      point.magnitude += term;
    }
    return point;
  }
  // The value at x is 0 but for the rounding of its terms.
  bool Solves(double x) const {
    const Point point = At(x);
    return std::isfinite(point.value) && std::abs(point.value) <= 1e-9 * point.magnitude;
  }
};

std::optional<double> Newton(const Discounted& flows) {
  double x = std::log1p(0.1);
  for (int step = 0; step < kNewtonSteps; ++step) {
    const Discounted::Point point = flows.At(x);
    if (!std::isfinite(point.value) || !std::isfinite(point.slope) || point.slope == 0) {
      return std::nullopt;
    }
    const double next = x - point.value / point.slope;
    if (!std::isfinite(next) || next < kLowestX || next > kHighestX) return std::nullopt;
    if (std::abs(next - x) <= 1e-13 * std::max(1.0, std::abs(x))) {
      return flows.Solves(next) ? std::optional<double>(next) : std::nullopt;
    }
    x = next;
  }
  return std::nullopt;
}

// A root in [low, high], where the value changes sign, halved down; nothing when the value
// there is not 0 within the rounding of its terms.
std::optional<double> Halved(const Discounted& flows, double low, double high) {
  const bool low_negative = flows.At(low).value < 0;
  for (int halving = 0; halving < kHalvings; ++halving) {
    const double middle = (low + high) / 2;
    if (middle <= low || middle >= high) break;
    const double value = flows.At(middle).value;
    if (value == 0) return middle;
    ((value < 0) == low_negative ? low : high) = middle;
  }
  const double x = (low + high) / 2;
  return flows.Solves(x) ? std::optional<double>(x) : std::nullopt;
}

// The first sign change from the lowest x up.
std::optional<double> Bracketed(const Discounted& flows) {
  const int steps = static_cast<int>(std::ceil((kHighestX - kLowestX) / kScanStep));
  double low = kLowestX;
  double low_value = flows.At(low).value;
  for (int i = 1; i <= steps; ++i) {
    if (low_value == 0) return low;
    const double high = std::min(kHighestX, kLowestX + i * kScanStep);
    const double high_value = flows.At(high).value;
    if (high_value == 0) return high;
    if ((low_value < 0) != (high_value < 0)) {
      if (const std::optional<double> x = Halved(flows, low, high)) return x;
    }
    low = high;
    low_value = high_value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<long> DayOf(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  const std::chrono::year_month_day date{
      std::chrono::year(std::stoi(text.substr(0, 4))),
      std::chrono::month(static_cast<unsigned>(std::stoi(text.substr(5, 2)))),
      std::chrono::day(static_cast<unsigned>(std::stoi(text.substr(8, 2))))};
  if (!date.ok()) return std::nullopt;
  return std::chrono::sys_days(date).time_since_epoch().count();
}

std::optional<double> Xirr(const std::vector<CashFlow>& flows) {
  if (flows.empty()) return std::nullopt;
  const auto [first, last] =
      std::minmax_element(flows.begin(), flows.end(),
                          [](const CashFlow& a, const CashFlow& b) { return a.day < b.day; });
  if (last->day - first->day < kMinFlowDays) return std::nullopt;
  Discounted discounted;
  bool paid_in = false;
  bool paid_out = false;
  for (const CashFlow& flow : flows) {
    if (flow.fen == 0) continue;
    discounted.years.push_back(static_cast<double>(flow.day - first->day) / kDaysPerYear);
    discounted.log_amounts.push_back(std::log(std::abs(static_cast<double>(flow.fen))));
    discounted.signs.push_back(flow.fen < 0 ? -1 : 1);
    paid_in |= flow.fen < 0;
    paid_out |= flow.fen > 0;
  }
  // Flows all of one sign have no rate.
  if (!paid_in || !paid_out) return std::nullopt;
  std::optional<double> x = Newton(discounted);
  if (!x) x = Bracketed(discounted);
  if (!x) return std::nullopt;
  return std::expm1(*x);
}

std::optional<std::vector<CashFlow>> RecordFlows(const std::vector<Record>& records,
                                                 const std::string& code) {
  std::vector<CashFlow> flows;
  for (const Record* replayed : ReplayOrder(records)) {
    const Record& record = *replayed;
    if (!code.empty() && record.code != code) continue;
    const std::optional<long> day = DayOf(record.day);
    if (!day || !RecordFits(record)) return std::nullopt;
    const std::int64_t fen = CashFlowOf(record);
    if (fen != 0) flows.push_back({*day, fen});
  }
  return flows;
}

std::optional<std::vector<CashFlow>> WithValues(std::optional<std::vector<CashFlow>> flows,
                                                const std::vector<Position>& positions,
                                                const std::map<std::string, Quote>& quotes,
                                                const std::string& code) {
  if (!flows) return std::nullopt;
  for (const Position& position : positions) {
    if (position.shares <= 0 || (!code.empty() && position.code != code)) continue;
    const auto quote = quotes.find(position.code);
    if (quote == quotes.end()) return std::nullopt;
    const std::optional<std::int64_t> nav =
        base::ParsePositive(quote->second.unit_nav, kPriceDecimals);
    const std::optional<long> day = DayOf(quote->second.nav_date);
    if (!nav || *nav >= kPriceLimit || !day) return std::nullopt;
    flows->push_back({*day, Amount(position.shares, *nav)});
  }
  return flows;
}

}  // namespace positions
