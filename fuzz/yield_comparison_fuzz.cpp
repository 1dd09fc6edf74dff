// Cuts arbitrary compare answers for one and for two funds. Whatever comes back must be drawable:
// one label pair and one value per date for each set slot, and axis ends around every value.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "chart/yield_comparison.h"
#include "portal/yield_comparison.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void Exercise(std::string_view answer, const chart::ComparisonSlots& slots) {
  const std::string series = portal::CutComparisonSeries(answer);
  Check(series.find('\\') == std::string::npos);
  for (std::string_view text : {std::string_view(series), answer}) {
    const auto data =
        chart::ParseComparison(portal::CutComparisonPoints(text, chart::CodesToRead(slots)), slots);
    if (!data) continue;
    Check(!data->dates.empty());
    Check(data->first_values.size() == (slots.first.empty() ? 0 : data->dates.size()));
    Check(data->second_values.size() == (slots.second.empty() ? 0 : data->dates.size()));
    Check(data->y_spec.rfind("9|", 0) == 0);
    for (float value : data->first_values) Check(!std::isnan(value));
    for (float value : data->second_values) Check(!std::isnan(value));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  Exercise(answer, {"005669", "005939"});
  Exercise(answer, {"", "005939"});
  return 0;
}
