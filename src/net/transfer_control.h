#pragma once

// What a caller hands to HttpFetch to steer its transfers from outside: the UI event pump it
// runs while it waits on the UI thread, and a stop request that ends transfers early. The
// program's App owns one; tests make their own.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace net {

// Thread-safe: any thread may ask to stop or test for the UI thread while the UI thread pumps.
class TransferControl {
 public:
  TransferControl() = default;
  TransferControl(const TransferControl&) = delete;
  TransferControl& operator=(const TransferControl&) = delete;

  // Installs the function that processes pending window events and records the calling thread
  // as the UI thread. HttpFetch calls it at least every 20 ms while it waits on that thread and
  // never on another thread. An empty function removes the pump.
  void SetUiEventPump(std::function<void()> pump);
  bool IsUiThread() const;
  // Runs the pump when called on the UI thread; does nothing elsewhere.
  void PumpIfUiThread() const;

  // Asks every transfer in flight under this control, and every later one, to stop as soon as
  // possible; they end as failures. There is no way back: it is used when the program ends.
  void RequestStop() { stop_requested_.store(true); }
  bool StopRequested() const { return stop_requested_.load(); }

 private:
  mutable std::mutex mutex_;
  // Shared so that a pump replaced from inside itself stays alive until it returns.
  std::shared_ptr<const std::function<void()>> pump_;
  std::thread::id ui_thread_;
  std::atomic<bool> stop_requested_{false};
};

}  // namespace net
