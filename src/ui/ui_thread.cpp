#include "ui/ui_thread.h"

namespace ui {

long double DelayMilliseconds(std::optional<long long> amount, std::optional<int> unit) {
  constexpr long long kEndless = 18000000;
  if (!amount && !unit) return static_cast<long double>(kEndless) * kEndless;
  long double factor = 1;
  switch (unit.value_or(0)) {
    case 1:
      factor = 1000;
      break;
    case 2:
      factor = 60000;
      break;
    case 3:
      factor = 3600000;
      break;
    default:
      break;
  }
  return static_cast<long double>(amount.value_or(0)) * factor;
}

void Delay(UiThread& ui, std::optional<long long> amount, std::optional<int> unit,
           std::function<void()> then) {
  const long double wait_ms = DelayMilliseconds(amount, unit);
  // The endless wait would overflow the clock's range; a century is as good.
  const long double max_ms = 100.0L * 365 * 24 * 3600 * 1000;
  const auto wait = std::chrono::milliseconds(
      static_cast<long long>(wait_ms < 0 ? 0 : (wait_ms > max_ms ? max_ms : wait_ms)));
  ui.PostAfter(wait, std::move(then));
}

}  // namespace ui
