#pragma once

// What a caller hands to HttpFetch to steer its transfers from outside: the thread that must
// never wait for the network, and a stop request that ends transfers early. The program's App
// owns one; tests make their own.

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace net {

// Thread-safe: any thread may ask to stop or test for the UI thread.
class TransferControl {
 public:
  TransferControl() = default;
  TransferControl(const TransferControl&) = delete;
  TransferControl& operator=(const TransferControl&) = delete;

  // Records the calling thread as the one that owns the windows. A request under this control
  // made on that thread is refused: a wait there would freeze every window.
  void SetUiThread();
  bool IsUiThread() const;

  // Asks every transfer in flight under this control, and every later one, to stop as soon as
  // possible; they end as failures. There is no way back: it is used when the program ends.
  void RequestStop() { stop_requested_.store(true); }
  bool StopRequested() const { return stop_requested_.load(); }

 private:
  mutable std::mutex mutex_;
  std::thread::id ui_thread_;
  std::atomic<bool> stop_requested_{false};
};

// While one lives, transfers made on its thread end early, as failures, once `still_wanted`
// answers false: the load they serve was overtaken and its answer would reach nobody. Scopes
// nest; the innermost one counts.
class StillWantedScope {
 public:
  explicit StillWantedScope(std::function<bool()> still_wanted);
  ~StillWantedScope();
  StillWantedScope(const StillWantedScope&) = delete;
  StillWantedScope& operator=(const StillWantedScope&) = delete;

 private:
  std::function<bool()> still_wanted_;
  const std::function<bool()>* outer_;
};

// False once the innermost StillWantedScope of this thread says its load was overtaken.
bool StillWantedOnThisThread();

}  // namespace net
