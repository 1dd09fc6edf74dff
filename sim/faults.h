#pragma once

// Faults the simulated portal injects into its answers, at configurable rates.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "sim/random.h"

namespace sim {

// A wait for the requests whose target (path and query) contains `target_contains`.
struct TargetLatency {
  std::string target_contains;
  int ms = 0;
};

struct FaultOptions {
  int latency_ms = 0;         // added before answering ...
  double latency_rate = 1.0;  // ... this share of the requests
  // Waits for matching requests instead of the above; the first match counts.
  std::vector<TargetLatency> target_latency{};
  double error_rate = 0;     // answer 500 instead
  double truncate_rate = 0;  // announce the whole body, send half, close
  double close_rate = 0;     // close the connection without an answer
  double stall_rate = 0;     // send nothing for stall_ms, then close (ends early on Stop)
  int stall_ms = 120000;
  // Requests whose target contains one of these always fail with status 500.
  std::vector<std::string> fail_targets{};
  // A 500 answer carries the body the endpoint would have sent: an error that looks like data.
  bool error_keeps_body = false;
};

enum class Fault { kNone, kError, kTruncate, kClose, kStall };

// What happens to one request: a wait before answering (0: none), then its fault.
struct FaultDecision {
  Fault fault = Fault::kNone;
  int delay_ms = 0;
  int stall_ms = 0;
  bool keep_body = false;  // for kError: the normal body with the error status
};

// Decides each request's fault from one seeded sequence, so that a run is repeatable.
class FaultPicker {
 public:
  explicit FaultPicker(std::uint64_t seed) : random_(seed) {}

  void SetOptions(const FaultOptions& options);
  // The decision for the next request to `target`, with the waits of the options it was made
  // under.
  FaultDecision Pick(std::string_view target = {});

 private:
  std::mutex mutex_;
  FaultOptions options_;
  Random random_;
};

// Shuts down the server-side socket of the connection between this server port and the given
// peer, so the client sees the connection end without (more) data. Returns false when no such
// socket is found.
bool AbortConnection(int local_port, const std::string& remote_addr, int remote_port);
// The same for every connection accepted on the server port.
void AbortConnections(int local_port);

}  // namespace sim
