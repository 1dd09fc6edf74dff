#pragma once

// Every request the simulated portal received, for tests to inspect.

#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

struct RecordedRequest {
  std::string method;
  std::string target;  // path and query as sent
  std::string path;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;

  // Value of the first header of that name (case-insensitive), or empty.
  std::string Header(std::string_view name) const;
};

class RequestLog {
 public:
  void Add(RecordedRequest request);
  std::vector<RecordedRequest> Snapshot() const;
  size_t Count() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
};

}  // namespace sim
