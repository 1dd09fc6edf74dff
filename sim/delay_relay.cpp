#include "sim/delay_relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <deque>
#include <string_view>

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;

// How long a pump waits for bytes before it looks at the stop flag again.
constexpr int kPollMs = 20;

// Bytes read from one side, due on the other side at `due`; an empty `bytes` is the end of the
// stream.
struct Delivery {
  Clock::time_point due;
  std::string bytes;
};

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

}  // namespace

struct DelayRelay::Connection {
  int client_fd = -1;
  int server_fd = -1;
  std::thread upstream;
  std::thread downstream;
  std::atomic<int> pumps_running{2};

  ~Connection() {
    if (upstream.joinable()) upstream.join();
    if (downstream.joinable()) downstream.join();
    close(client_fd);
    close(server_fd);
  }

  // Moves bytes from `from` to `to`, each one `delay` after it arrived but none before
  // `not_before`. A failure on either side ends both directions.
  void Pump(int from, int to, std::chrono::milliseconds delay, Clock::time_point not_before,
            const std::atomic<bool>& stopping) {
    std::deque<Delivery> queue;
    bool reading = true;
    bool failed = false;
    while (!stopping.load() && !failed && (reading || !queue.empty())) {
      int wait_ms = kPollMs;
      if (!queue.empty()) {
        const auto until =
            std::chrono::duration_cast<std::chrono::milliseconds>(queue.front().due - Clock::now());
        wait_ms = std::max(0, std::min<int>(wait_ms, static_cast<int>(until.count()) + 1));
      }
      pollfd entry{from, POLLIN, 0};
      if (reading && poll(&entry, 1, wait_ms) > 0) {
        char buffer[16384];
        const ssize_t got = recv(from, buffer, sizeof buffer, 0);
        const Clock::time_point due = std::max(Clock::now(), not_before) + delay;
        if (got > 0) {
          queue.push_back({due, std::string(buffer, static_cast<size_t>(got))});
        } else {
          queue.push_back({due, {}});
          reading = false;
        }
      } else if (!reading) {
        std::this_thread::sleep_for(std::chrono::milliseconds(wait_ms));
      }
      while (!queue.empty() && queue.front().due <= Clock::now()) {
        if (queue.front().bytes.empty()) {
          shutdown(to, SHUT_WR);
        } else if (!SendAll(to, queue.front().bytes)) {
          failed = true;
          break;
        }
        queue.pop_front();
      }
    }
    if (failed || stopping.load()) {
      shutdown(from, SHUT_RDWR);
      shutdown(to, SHUT_RDWR);
    }
    pumps_running.fetch_sub(1);
  }
};

DelayRelay::DelayRelay(int target_port, std::chrono::milliseconds one_way)
    : target_port_(target_port), one_way_(one_way) {}

DelayRelay::~DelayRelay() { Stop(); }

int DelayRelay::Start() {
  if (listen_fd_ >= 0) return port_;
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listen_fd_, 128) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    if (listen_fd_ >= 0) close(listen_fd_);
    listen_fd_ = -1;
    return -1;
  }
  port_ = ntohs(address.sin_port);
  stopping_ = false;
  accept_thread_ = std::thread([this] { AcceptLoop(); });
  return port_;
}

void DelayRelay::Stop() {
  stopping_ = true;
  if (accept_thread_.joinable()) accept_thread_.join();
  Reap(true);
  if (listen_fd_ >= 0) close(listen_fd_);
  listen_fd_ = -1;
}

std::string DelayRelay::BaseUrl(const std::string& scheme) const {
  return scheme + "://127.0.0.1:" + std::to_string(port_);
}

void DelayRelay::AcceptLoop() {
  while (!stopping_.load()) {
    Reap(false);
    pollfd entry{listen_fd_, POLLIN, 0};
    if (poll(&entry, 1, kPollMs) <= 0) continue;
    const int client_fd = accept(listen_fd_, nullptr, nullptr);
    if (client_fd < 0) continue;
    accepted_.fetch_add(1);
    // The client's connect returned at once; the set-up round trip it would have waited for
    // is charged to its first bytes instead.
    const Clock::time_point accepted_at = Clock::now();
    const int server_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    target.sin_port = htons(static_cast<uint16_t>(target_port_));
    if (server_fd < 0 ||
        connect(server_fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
      if (server_fd >= 0) close(server_fd);
      close(client_fd);
      continue;
    }
    const int one = 1;
    setsockopt(client_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    setsockopt(server_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto connection = std::make_unique<Connection>();
    Connection* relayed = connection.get();
    relayed->client_fd = client_fd;
    relayed->server_fd = server_fd;
    relayed->upstream = std::thread([this, relayed, accepted_at] {
      relayed->Pump(relayed->client_fd, relayed->server_fd, one_way_, accepted_at + 2 * one_way_,
                    stopping_);
    });
    relayed->downstream = std::thread([this, relayed, accepted_at] {
      relayed->Pump(relayed->server_fd, relayed->client_fd, one_way_, accepted_at, stopping_);
    });
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.push_back(std::move(connection));
  }
}

void DelayRelay::Reap(bool all) {
  std::list<std::unique_ptr<Connection>> ended;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = connections_.begin(); it != connections_.end();) {
      auto next = std::next(it);
      if (all) {
        // Also frees a pump blocked in a send to a peer that does not read.
        shutdown((*it)->client_fd, SHUT_RDWR);
        shutdown((*it)->server_fd, SHUT_RDWR);
      }
      if (all || (*it)->pumps_running.load() == 0) ended.splice(ended.end(), connections_, it);
      it = next;
    }
  }
  ended.clear();  // joins the pumps and closes both sockets
}

}  // namespace sim
