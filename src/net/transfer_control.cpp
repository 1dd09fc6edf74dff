#include "net/transfer_control.h"

namespace net {

namespace {
thread_local const std::function<bool()>* current_wanted = nullptr;
}  // namespace

void TransferControl::SetUiThread() {
  std::lock_guard<std::mutex> lock(mutex_);
  ui_thread_ = std::this_thread::get_id();
}

bool TransferControl::IsUiThread() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ui_thread_ == std::this_thread::get_id();
}

StillWantedScope::StillWantedScope(std::function<bool()> still_wanted)
    : still_wanted_(std::move(still_wanted)), outer_(current_wanted) {
  current_wanted = &still_wanted_;
}

StillWantedScope::~StillWantedScope() { current_wanted = outer_; }

bool StillWantedOnThisThread() {
  return current_wanted == nullptr || !*current_wanted || (*current_wanted)();
}

}  // namespace net
