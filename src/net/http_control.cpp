#include "net/http_control.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace net {
namespace {

struct PumpState {
  std::mutex mutex;
  // Shared so that a pump replaced from inside itself stays alive until it returns.
  std::shared_ptr<const std::function<void()>> pump;
  std::thread::id ui_thread;
};

PumpState& State() {
  static PumpState state;
  return state;
}

std::atomic<bool> stop_requested{false};

}  // namespace

void SetUiEventPump(std::function<void()> pump) {
  PumpState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (pump) {
    state.pump = std::make_shared<const std::function<void()>>(std::move(pump));
    state.ui_thread = std::this_thread::get_id();
  } else {
    state.pump.reset();
    state.ui_thread = std::thread::id();
  }
}

bool IsUiThread() {
  PumpState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.pump && state.ui_thread == std::this_thread::get_id();
}

void PumpUiEventsIfUiThread() {
  std::shared_ptr<const std::function<void()>> pump;
  {
    PumpState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.pump || state.ui_thread != std::this_thread::get_id()) return;
    pump = state.pump;
  }
  (*pump)();
}

void RequestStopAllTransfers() { stop_requested.store(true); }
void ResetStopRequest() { stop_requested.store(false); }
bool StopRequested() { return stop_requested.load(); }

}  // namespace net
