#include "net/transfer_control.h"

namespace net {

void TransferControl::SetUiEventPump(std::function<void()> pump) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pump) {
    pump_ = std::make_shared<const std::function<void()>>(std::move(pump));
    ui_thread_ = std::this_thread::get_id();
  } else {
    pump_.reset();
    ui_thread_ = std::thread::id();
  }
}

bool TransferControl::IsUiThread() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pump_ && ui_thread_ == std::this_thread::get_id();
}

void TransferControl::PumpIfUiThread() const {
  std::shared_ptr<const std::function<void()>> pump;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!pump_ || ui_thread_ != std::this_thread::get_id()) return;
    pump = pump_;
  }
  (*pump)();
}

}  // namespace net
