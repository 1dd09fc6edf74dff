#include "sim/request_log.h"

#include <strings.h>

namespace sim {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (SameName(key, name)) return value;
  }
  return "";
}

void RequestLog::Add(RecordedRequest request) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(std::move(request));
}

std::vector<RecordedRequest> RequestLog::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

size_t RequestLog::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.size();
}

void RequestLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

}  // namespace sim
