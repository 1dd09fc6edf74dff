#include "positions/annual_return.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace positions {

namespace {

constexpr double kDaysPerYear = 365;
constexpr int kNewtonSteps = 100;
constexpr int kHalvings = 200;
// Where a sign change is looked for when Newton's steps fail: from a near-total loss up.
constexpr double kBracketRates[] = {-0.999999, -0.99, -0.9, -0.7, -0.5, -0.3, -0.1, 0,   0.1, 0.3,
                                    0.6,       1,     2,    5,    10,   100,  1e3,  1e4, 1e6};

struct Discounted {
  std::vector<double> years;  // from the first day
  std::vector<double> amounts;
  double scale = 0;  // the sum of |amounts|, for the tolerance

  double Value(double rate) const {
    double sum = 0;
    for (size_t k = 0; k < years.size(); ++k) sum += amounts[k] * std::pow(1 + rate, -years[k]);
    return sum;
  }
  double Slope(double rate) const {
    double sum = 0;
    for (size_t k = 0; k < years.size(); ++k) {
      sum -= years[k] * amounts[k] * std::pow(1 + rate, -years[k] - 1);
    }
    return sum;
  }
  bool Solves(double rate) const {
    const double value = Value(rate);
    return std::isfinite(value) && std::abs(value) <= 1e-9 * scale;
  }
};

std::optional<double> Newton(const Discounted& flows) {
  double rate = 0.1;
  for (int step = 0; step < kNewtonSteps; ++step) {
    const double value = flows.Value(rate);
    const double slope = flows.Slope(rate);
    if (!std::isfinite(value) || !std::isfinite(slope) || slope == 0) return std::nullopt;
    const double next = rate - value / slope;
    if (!std::isfinite(next) || next <= -1) return std::nullopt;
    if (std::abs(next - rate) <= 1e-12 * std::max(1.0, std::abs(rate))) {
      return flows.Solves(next) ? std::optional<double>(next) : std::nullopt;
    }
    rate = next;
  }
  return std::nullopt;
}

std::optional<double> Bracketed(const Discounted& flows) {
  for (size_t i = 0; i + 1 < std::size(kBracketRates); ++i) {
    double low = kBracketRates[i];
    double high = kBracketRates[i + 1];
    double low_value = flows.Value(low);
    const double high_value = flows.Value(high);
    if (!std::isfinite(low_value) || !std::isfinite(high_value)) continue;
    if (low_value == 0) return low;
    if ((low_value < 0) == (high_value < 0)) continue;
    for (int halving = 0; halving < kHalvings && high - low > 1e-15 * std::abs(high); ++halving) {
      const double middle = (low + high) / 2;
      const double value = flows.Value(middle);
      if ((value < 0) == (low_value < 0)) {
        low = middle;
        low_value = value;
      } else {
        high = middle;
      }
    }
    const double rate = (low + high) / 2;
    if (flows.Solves(rate)) return rate;
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
    const double amount = static_cast<double>(flow.fen) / 100;
    discounted.years.push_back(static_cast<double>(flow.day - first->day) / kDaysPerYear);
    discounted.amounts.push_back(amount);
    discounted.scale += std::abs(amount);
    paid_in |= flow.fen < 0;
    paid_out |= flow.fen > 0;
  }
  // Flows all of one sign have no rate.
  if (!paid_in || !paid_out) return std::nullopt;
  if (const std::optional<double> rate = Newton(discounted)) return rate;
  return Bracketed(discounted);
}

std::optional<std::vector<CashFlow>> FlowsOf(const std::vector<Record>& records,
                                             const std::map<std::string, Quote>& quotes,
                                             const std::string& code) {
  std::vector<Record> chosen;
  for (const Record& record : records) {
    if (code.empty() || record.code == code) chosen.push_back(record);
  }
  std::vector<CashFlow> flows;
  for (const Record& record : chosen) {
    const std::int64_t fen = CashFlowOf(record);
    const std::optional<long> day = DayOf(record.day);
    if (!day) return std::nullopt;
    if (fen != 0) flows.push_back({*day, fen});
  }
  for (const Position& position : Replay(chosen)) {
    if (position.shares <= 0) continue;
    const auto quote = quotes.find(position.code);
    if (quote == quotes.end()) return std::nullopt;
    const std::optional<std::int64_t> nav = ParsePositive(quote->second.unit_nav, kPriceDecimals);
    const std::optional<long> day = DayOf(quote->second.nav_date);
    if (!nav || !day) return std::nullopt;
    flows.push_back({*day, Amount(position.shares, *nav)});
  }
  return flows;
}

}  // namespace positions
