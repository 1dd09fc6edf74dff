// Settles the ledger at LEDGER as a program opened once a month from 2011 to mid-2021 would:
// each time against the funds' histories up to that day. The test that runs it as a child
// process kills it at random moments. Exit code 0 when every settlement ended, 2 on bad
// arguments.

#include <cstdio>
#include <map>
#include <string>

#include "base/nav_history.h"
#include "positions/plans.h"
#include "positions/positions_store.h"

namespace {

// Weekdays from December 2010 to June 2021 less New Year's Day and 1 to 7 October, at a NAV
// that moves with the day.
base::NavHistory HistoryOf(const std::string& code) {
  base::NavHistory history;
  history.code = code;
  history.name = "基金" + code;
  history.fee_rate = 1500;
  const std::int32_t first = *base::DayNumber("2010-12-01"), last = *base::DayNumber("2021-06-30");
  for (std::int32_t day = first; day <= last; ++day) {
    const std::string text = base::DayText(day);
    const std::string month_day = text.substr(5);
    if (positions::WeekdayOf(day) > 5 || month_day == "01-01" ||
        (month_day >= "10-01" && month_day <= "10-07")) {
      continue;
    }
    base::NavPoint point;
    point.day = text;
    point.unit_nav = 10000 + (day * 37 + static_cast<std::int32_t>(code.back())) % 5000;
    history.points.push_back(point);
  }
  return history;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: plans_settle_driver LEDGER\n");
    return 2;
  }
  positions::PositionsStore store(argv[1]);
  std::map<std::string, base::NavHistory> full;
  for (const std::string& code : positions::CodesOf(store.ReadBook())) full[code] = HistoryOf(code);
  for (int year = 2011; year <= 2021; ++year) {
    for (int month = 1; month <= 12 && (year < 2021 || month <= 6); ++month) {
      char today[16];
      std::snprintf(today, sizeof today, "%04d-%02d-28", year, month);
      std::map<std::string, base::NavHistory> known = full;
      for (auto& [code, history] : known) {
        std::erase_if(history.points, [&](const base::NavPoint& p) { return p.day > today; });
      }
      store.Settle(known, today);
    }
  }
  return 0;
}
