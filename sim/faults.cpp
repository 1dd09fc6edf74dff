#include "sim/faults.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>

namespace sim {

void FaultPicker::SetOptions(const FaultOptions& options) {
  std::lock_guard<std::mutex> lock(mutex_);
  options_ = options;
}

FaultDecision FaultPicker::Pick(std::string_view target) {
  std::lock_guard<std::mutex> lock(mutex_);
  FaultDecision decision;
  decision.stall_ms = options_.stall_ms;
  const auto rule = std::find_if(
      options_.target_latency.begin(), options_.target_latency.end(),
      [target](const TargetLatency& r) { return target.find(r.target_contains) != target.npos; });
  if (rule != options_.target_latency.end()) {
    decision.delay_ms = rule->ms;
  } else if (options_.latency_ms > 0 && random_.Uniform() < options_.latency_rate) {
    decision.delay_ms = options_.latency_ms;
  }
  double roll = random_.Uniform();
  const std::pair<double, Fault> rates[] = {{options_.stall_rate, Fault::kStall},
                                            {options_.close_rate, Fault::kClose},
                                            {options_.truncate_rate, Fault::kTruncate},
                                            {options_.error_rate, Fault::kError}};
  for (const auto& [rate, fault] : rates) {
    if (roll < rate) {
      decision.fault = fault;
      break;
    }
    roll -= rate;
  }
  if (std::any_of(options_.fail_targets.begin(), options_.fail_targets.end(),
                  [target](const std::string& t) { return target.find(t) != target.npos; })) {
    decision.fault = Fault::kError;
  }
  decision.keep_body = options_.error_keeps_body;
  return decision;
}

namespace {

int PortOf(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) {
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  }
  if (address.ss_family == AF_INET6) {
    return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  }
  return -1;
}

std::string AddressOf(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(address).sin_addr, text, sizeof text);
  } else if (address.ss_family == AF_INET6) {
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(address).sin6_addr, text,
              sizeof text);
  }
  return text;
}

// Shuts down the server-side sockets on `local_port` whose peer is the given one, or every one
// when `remote_addr` is null.
bool AbortMatching(int local_port, const std::string* remote_addr, int remote_port) {
  // The HTTP library does not hand out the connection's socket, so find it among the process's
  // descriptors by its two ends.
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return false;
  bool found = false;
  while (dirent* entry = readdir(dir)) {
    char* end = nullptr;
    long fd = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || fd == dirfd(dir)) continue;
    sockaddr_storage local{}, peer{};
    socklen_t local_size = sizeof local, peer_size = sizeof peer;
    if (getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &local_size) != 0 ||
        getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &peer_size) != 0) {
      continue;
    }
    if (PortOf(local) == local_port &&
        (remote_addr == nullptr ||
         (PortOf(peer) == remote_port && AddressOf(peer) == *remote_addr))) {
      shutdown(static_cast<int>(fd), SHUT_RDWR);
      found = true;
    }
  }
  closedir(dir);
  return found;
}

}  // namespace

bool AbortConnection(int local_port, const std::string& remote_addr, int remote_port) {
  return AbortMatching(local_port, &remote_addr, remote_port);
}

void AbortConnections(int local_port) { AbortMatching(local_port, nullptr, 0); }

}  // namespace sim
