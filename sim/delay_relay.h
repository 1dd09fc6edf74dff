#pragma once

// A TCP relay in front of a server that holds every byte back for a one-way network delay in
// each direction, so that a client pays the round trips of a real network: one for the TCP
// set-up, those of the TLS handshake, and one per request. It passes the bytes through
// unchanged (TLS included) and counts the connections it accepts.

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sim {

class DelayRelay {
 public:
  // Relays to `target_port` on 127.0.0.1 from a loopback port of its own.
  DelayRelay(int target_port, std::chrono::milliseconds one_way);
  ~DelayRelay();
  DelayRelay(const DelayRelay&) = delete;
  DelayRelay& operator=(const DelayRelay&) = delete;

  // Starts listening on any free port; returns it, or -1.
  int Start();
  // Ends every relayed connection and stops listening.
  void Stop();

  int port() const { return port_; }
  // "scheme://127.0.0.1:port", no trailing "/".
  std::string BaseUrl(const std::string& scheme) const;
  int accepted_connections() const { return accepted_.load(); }

  struct Connection;

 private:
  void AcceptLoop();
  void Reap(bool all);

  int target_port_;
  std::chrono::milliseconds one_way_;
  int listen_fd_ = -1;
  int port_ = -1;
  std::atomic<bool> stopping_{false};
  std::atomic<int> accepted_{0};
  std::thread accept_thread_;
  std::mutex mutex_;
  std::list<std::unique_ptr<Connection>> connections_;
};

}  // namespace sim
