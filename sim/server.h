#pragma once

// The simulated fund-data portal: an HTTP server on loopback that answers the portal's
// endpoints from a synthetic market, records every request and injects faults on demand.

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sim/faults.h"
#include "sim/market.h"
#include "sim/request_log.h"

namespace sim {

struct PortalSimOptions {
  MarketOptions market;
  FaultOptions faults;
  std::string host = "127.0.0.1";
};

using RouteHandler = std::function<void(const httplib::Request&, httplib::Response&)>;

class PortalSim {
 public:
  explicit PortalSim(PortalSimOptions options = {});
  ~PortalSim();
  PortalSim(const PortalSim&) = delete;
  PortalSim& operator=(const PortalSim&) = delete;

  // Starts serving on `port` (0: any free port). Returns the port, or -1 when it cannot bind.
  int Start(int port = 0);
  // Stops serving; stalled and delayed answers end at once.
  void Stop();

  int port() const { return port_; }
  // "http://host:port", no trailing "/".
  std::string BaseUrl() const;
  const Market& market() const { return market_; }
  RequestLog& requests() { return log_; }
  void SetFaults(const FaultOptions& faults) { faults_.SetOptions(faults); }

  // Adds an endpoint (exact path). Its requests are recorded and its answers go through the
  // fault injection. Call before the first Start; other paths are recorded and answered 404.
  void AddGet(const std::string& path, RouteHandler handler);
  void AddPost(const std::string& path, RouteHandler handler);

 private:
  RouteHandler WithFaults(RouteHandler handler);
  void Record(const httplib::Request& request);
  void AddFallbackRoutes();
  // Waits up to `ms` or until Stop; returns false when stopped.
  bool Wait(int ms);

  PortalSimOptions options_;
  Market market_;
  RequestLog log_;
  FaultPicker faults_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = -1;
  bool fallbacks_added_ = false;
  std::atomic<bool> listen_ended_{false};
  std::mutex stop_mutex_;
  std::condition_variable stop_signal_;
  bool stopping_ = false;
};

}  // namespace sim
