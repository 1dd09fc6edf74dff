// Reads a 20-year NAV history (some 4,900 points, as the simulated portal serves it) and prints
// how many times longer the program's reader takes than nlohmann::json::parse of the same
// arrays (goal: at most 2), first for the unit-NAV array alone, then for the whole answer cut
// and read into values against parsing both arrays and reading the same numbers. Also prints
// the time the cache takes to give the kept history back.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "base/text.h"
#include "portal/nav_history.h"
#include "script/json_literal.h"
#include "sim/nav_history.h"
#include "store/cache.h"

namespace {

using Clock = std::chrono::steady_clock;

// The array of `var <name> = [...];`.
std::string ArrayOf(const std::string& answer, const std::string& name) {
  return "[" + base::TextBetween(answer, "var " + name + " = [", "];") + "]";
}

// Best time per call over several rounds, in microseconds.
template <typename Work>
double BestTime(Work work, int calls) {
  double best = 1e300;
  for (int round = 0; round < 7; ++round) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) work();
    const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    best = std::min(best, spent.count() / calls);
  }
  return best;
}

volatile double sink = 0;

}  // namespace

int main() {
  sim::MarketOptions options;
  options.funds = 20;
  options.history_years = 20;
  const sim::Market market(options);
  const sim::Fund& fund = market.funds()[3];
  const std::string answer = sim::NavHistoryAnswer(market, fund);
  const std::string trend = ArrayOf(answer, "Data_netWorthTrend");
  const std::string accumulated = ArrayOf(answer, "Data_ACWorthTrend");
  const auto history = portal::CutNavHistory(answer);
  if (!history || nlohmann::json::parse(trend).size() != history->points.size()) {
    std::printf("the answer did not read\n");
    return 1;
  }
  std::printf("20-year history: %zu points, %zu KB answer\n", history->points.size(),
              answer.size() / 1024);
  std::printf("time of the program's reader / time of nlohmann::json::parse (goal <= 2)\n");

  const double ours_array = BestTime(
      [&] {
        nlohmann::ordered_json value;
        script::ParseLiteral(trend, &value);
        sink = sink + static_cast<double>(value.size());
      },
      20);
  const double base_array =
      BestTime([&] { sink = sink + static_cast<double>(nlohmann::json::parse(trend).size()); }, 20);
  std::printf("%-44s ratio %.2f  (ours %.0f us, nlohmann %.0f us)\n", "unit-NAV array, parse",
              ours_array / base_array, ours_array, base_array);

  const double ours_whole = BestTime(
      [&] { sink = sink + static_cast<double>(portal::CutNavHistory(answer)->points.size()); }, 20);
  const double base_whole = BestTime(
      [&] {
        const auto points = nlohmann::json::parse(trend);
        const auto totals = nlohmann::json::parse(accumulated);
        double sum = 0;
        for (const auto& point : points) {
          sum += point["x"].get<double>() + point["y"].get<double>() +
                 point["equityReturn"].get<double>() +
                 static_cast<double>(point["unitMoney"].get_ref<const std::string&>().size());
        }
        for (const auto& total : totals) sum += total[1].is_number() ? total[1].get<double>() : 0;
        sink = sink + sum;
      },
      20);
  std::printf("%-44s ratio %.2f  (ours %.0f us, nlohmann %.0f us)\n",
              "whole answer, cut and read into values", ours_whole / base_whole, ours_whole,
              base_whole);

  const auto folder =
      std::filesystem::temp_directory_path() / ("nav_history_bench." + std::to_string(getpid()));
  {
    store::Cache cache(folder / "cache.sqlite3");
    cache.SaveNavHistory(fund.code, *history, "now", 1);
    const double read = BestTime(
        [&] {
          sink = sink + static_cast<double>(cache.LoadNavHistory(fund.code)->history.points.size());
        },
        20);
    std::printf("cache: the kept history read back in %.0f us\n", read);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
