// Cuts arbitrary answers as a fund's NAV history, as they stand and with the input as the value
// of the unit-NAV variable. Whatever comes back must be a sound history: points oldest first one
// per day, NAVs above 0, no negative dividend or split, and the cache's compact form must give
// it back unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/nav_history.h"
#include "portal/nav_history.h"
#include "store/nav_history_blob.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void Exercise(std::string_view answer) {
  const auto history = portal::CutNavHistory(answer);
  if (!history) return;
  Check(!history->points.empty());
  std::int32_t previous = base::kFirstDayNumber - 1;
  for (const base::NavPoint& point : history->points) {
    const auto day = base::DayNumber(point.day);
    Check(day.has_value() && *day > previous && base::DayText(*day) == point.day);
    previous = *day;
    Check(point.unit_nav > 0);
    Check(!point.accumulated_nav || *point.accumulated_nav > 0);
    Check(point.dividend >= 0 && point.split_ratio >= 0);
  }
  const auto kept = store::DecodeNavHistory(store::EncodeNavHistory(*history));
  Check(kept.has_value() && *kept == *history);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  Exercise(input);
  Exercise("var fS_code = \"000001\";var Data_netWorthTrend = " + std::string(input) +
           ";var Data_ACWorthTrend = [[1628179200000,1.5]];");
  return 0;
}
