#pragma once

// Loopback servers for the HTTP routine's tests: a raw one that records the exact request bytes
// and answers with fixed bytes, and a cpp-httplib one that can hold answers back.

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/http_fetch.h"

namespace http_test {

// Accepts connections one at a time, reads one request (headers plus a Content-Length body),
// records its bytes, writes `response` unchanged and closes the connection.
// A listening socket on a free loopback port, stored in `port`.
inline int ListenOnLoopback(int* port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), size);
  listen(fd, 8);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  *port = ntohs(address.sin_port);
  return fd;
}

class RawServer {
 public:
  explicit RawServer(std::string response) : response_(std::move(response)) {
    listen_fd_ = ListenOnLoopback(&port_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawServer() {
    stop_ = true;
    thread_.join();
    close(listen_fd_);
  }

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::string LastRequest() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_.empty() ? "" : requests_.back();
  }

 private:
  static bool WaitReadable(int fd, int ms) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, ms) > 0;
  }

  static std::string ReadRequest(int fd) {
    std::string bytes;
    size_t wanted = std::string::npos;
    char buffer[4096];
    while (bytes.size() < wanted && WaitReadable(fd, 2000)) {
      ssize_t got = read(fd, buffer, sizeof buffer);
      if (got <= 0) break;
      bytes.append(buffer, static_cast<size_t>(got));
      size_t end = bytes.find("\r\n\r\n");
      if (end != std::string::npos && wanted == std::string::npos) {
        std::string head = bytes.substr(0, end);
        size_t at = head.find("Content-Length: ");
        size_t length = at == std::string::npos ? 0 : std::stoul(head.substr(at + 16));
        wanted = end + 4 + length;
      }
    }
    return bytes;
  }

  void Serve() {
    while (!stop_) {
      if (!WaitReadable(listen_fd_, 20)) continue;
      int fd = accept(listen_fd_, nullptr, nullptr);
      if (fd < 0) continue;
      std::string request = ReadRequest(fd);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
      }
      size_t sent = 0;
      while (sent < response_.size()) {
        ssize_t wrote = send(fd, response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
        if (wrote <= 0) break;
        sent += static_cast<size_t>(wrote);
      }
      shutdown(fd, SHUT_WR);
      // Let the client close first; a client that keeps the connection leaves it at that.
      WaitReadable(fd, 50);
      close(fd);
    }
  }

  std::string response_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A cpp-httplib server on a loopback port chosen by the system. Handlers may call Stall() to
// hold their answer back until the server is destroyed.
class LoopbackServer {
 public:
  LoopbackServer() : server_(std::make_unique<httplib::Server>()) {}
  explicit LoopbackServer(std::unique_ptr<httplib::Server> server) : server_(std::move(server)) {}
  ~LoopbackServer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      released_ = true;
    }
    release_.notify_all();
    // Kept connections would hold the server's workers until its keep-alive time-out.
    net::CloseIdleConnections();
    server_->stop();
    if (thread_.joinable()) thread_.join();
  }

  httplib::Server& server() { return *server_; }
  void Start() {
    // Answers come in two writes; on a kept connection the second would wait for the client's
    // delayed acknowledgement.
    server_->set_tcp_nodelay(true);
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing before the server runs, so wait for it.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  int port() const { return port_; }
  std::string Url(const std::string& path, const std::string& scheme = "http") const {
    return scheme + "://127.0.0.1:" + std::to_string(port_) + path;
  }
  void Stall() {
    std::unique_lock<std::mutex> lock(mutex_);
    release_.wait(lock, [this] { return released_; });
  }

 private:
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable release_;
  bool released_ = false;
};

}  // namespace http_test
