// Kept connections: requests to one host share a connection over TLS, a connection the server
// closed meanwhile costs a GET nothing and a POST is never sent twice, parallel workers share
// the cache, and a kept connection never lets an untrusted certificate through.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "net/http_fetch.h"
#include "net/http_fetch_test_servers.h"
#include "sim/delay_relay.h"
#include "sim/server.h"
#include "sim/test_certificate.h"
#include "support/temp_dir.h"

namespace net {
namespace {

// The simulated portal over TLS behind a relay that counts the connections.
class TlsPortal {
 public:
  TlsPortal() {
    EXPECT_TRUE(sim::MakeTestCertificate(dir_.path().string(), &certificate_));
    sim::PortalSimOptions options;
    options.market.funds = 40;
    options.market.boards = 2;
    options.tls_cert_file = certificate_.cert_file;
    options.tls_key_file = certificate_.key_file;
    sim_ = std::make_unique<sim::PortalSim>(options);
    EXPECT_GT(sim_->Start(), 0);
    relay_ = std::make_unique<sim::DelayRelay>(sim_->port(), std::chrono::milliseconds(1));
    EXPECT_GT(relay_->Start(), 0);
  }
  ~TlsPortal() { CloseIdleConnections(); }

  HttpFetchResult Get(const std::string& path, bool trusted = true) {
    return HttpFetch({.url = relay_->BaseUrl("https") + path,
                      .ca_file = trusted ? certificate_.cert_file : std::string()});
  }
  std::string FundPath(size_t index) const {
    return "/jbgk_" + sim_->market().funds()[index % sim_->market().funds().size()].code + ".html";
  }
  sim::PortalSim& sim() { return *sim_; }
  sim::DelayRelay& relay() { return *relay_; }

 private:
  test_support::TempDir dir_;
  sim::TestCertificate certificate_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<sim::DelayRelay> relay_;
};

TEST(ConnectionReuseTest, KeptTlsConnectionServesTheNextCallButNeverOneThatDistrustsIt) {
  TlsPortal portal;
  HttpFetchResult first = portal.Get(portal.FundPath(0));
  HttpFetchResult second = portal.Get(portal.FundPath(1));
  EXPECT_EQ("200 OK", first.status);
  EXPECT_EQ("200 OK", second.status);
  EXPECT_NE(std::string::npos, second.text.find("基本概况"));
  EXPECT_EQ(1, portal.relay().accepted_connections());
  // The portal saw two complete requests, each with the same header lines.
  std::vector<sim::RecordedRequest> seen = portal.sim().requests().Snapshot();
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ(seen[0].headers.size(), seen[1].headers.size());

  // A call that does not trust the test certificate may not ride on the trusted connection.
  HttpFetchResult refused = portal.Get(portal.FundPath(2), false);
  EXPECT_EQ(kStatusSendFailed, refused.status);
  EXPECT_EQ("", refused.text);
  EXPECT_EQ(2u, portal.sim().requests().Snapshot().size());
}

// Answers the first request of each connection and keeps the connection; closes a connection
// without an answer when a second request comes on it, as a server does whose keep-alive time
// ran out just then.
class OneRequestPerConnectionServer {
 public:
  OneRequestPerConnectionServer() {
    listen_fd_ = http_test::ListenOnLoopback(&port_);
    accept_thread_ = std::thread([this] { Accept(); });
  }
  ~OneRequestPerConnectionServer() {
    CloseIdleConnections();
    stop_ = true;
    accept_thread_.join();
    for (std::thread& thread : connection_threads_) thread.join();
    close(listen_fd_);
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  // "<connection number> <request line>" of every request received.
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  static bool Readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, 20) > 0;
  }
  void Accept() {
    int connections = 0;
    while (!stop_) {
      if (!Readable(listen_fd_)) continue;
      const int fd = accept(listen_fd_, nullptr, nullptr);
      if (fd >= 0)
        connection_threads_.emplace_back([this, fd, n = ++connections] { Serve(fd, n); });
    }
  }
  void Serve(int fd, int connection) {
    std::string bytes;
    int answered = 0;
    char buffer[4096];
    while (!stop_) {
      if (!Readable(fd)) continue;
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got <= 0) break;
      bytes.append(buffer, static_cast<size_t>(got));
      const size_t end = bytes.find("\r\n\r\n");
      if (end == std::string::npos) continue;
      const std::string line = bytes.substr(0, bytes.find("\r\n"));
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(std::to_string(connection) + " " + line);
      }
      // Requests here carry no body or a short one that came with the headers.
      bytes.clear();
      if (answered++ > 0) break;
      const std::string body = line.substr(0, line.find(' '));
      const std::string answer =
          "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
      send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    }
    close(fd);
  }

  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread accept_thread_;
  std::vector<std::thread> connection_threads_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

TEST(ConnectionReuseTest, ClosedKeptConnectionIsRetriedForGetAndPostIsNeverReplayed) {
  OneRequestPerConnectionServer server;
  EXPECT_EQ("GET", HttpFetch({.url = server.Url("/a")}).text);
  // Goes out on the kept connection, which the server closes; answered on a new one.
  HttpFetchResult again = HttpFetch({.url = server.Url("/b")});
  EXPECT_EQ("200 OK", again.status);
  EXPECT_EQ("GET", again.text);
  // Never on the kept connection of /b, so the server sees it once and answers it.
  HttpFetchResult posted =
      HttpFetch({.url = server.Url("/c"), .verb = kVerbPost, .post_data = "x=1"});
  EXPECT_EQ("200 OK", posted.status);
  EXPECT_EQ("POST", posted.text);
  EXPECT_EQ((std::vector<std::string>{"1 GET /a HTTP/1.1", "1 GET /b HTTP/1.1", "2 GET /b HTTP/1.1",
                                      "3 POST /c HTTP/1.1"}),
            server.Requests());
}

TEST(ConnectionReuseTest, FiveWorkersShareTheCacheAndEachAnswerIsItsOwn) {
  TlsPortal portal;
  constexpr int kWorkers = 5;
  constexpr int kEach = 12;
  std::vector<std::vector<std::string>> failures(kWorkers);
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&, w] {
      for (int i = 0; i < kEach; ++i) {
        const std::string path = portal.FundPath(static_cast<size_t>(w * kEach + i));
        HttpFetchResult page = portal.Get(path);
        // Each page names its own fund code in its title.
        const std::string code = path.substr(6, 6);
        if (page.status != "200 OK" || page.text.find(code) == std::string::npos)
          failures[w].push_back(path + " " + page.status);
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  for (const auto& failed : failures) EXPECT_EQ(std::vector<std::string>{}, failed);
  EXPECT_EQ(static_cast<size_t>(kWorkers * kEach), portal.sim().requests().Snapshot().size());
  // Each worker connects once or a few times, not once per request.
  EXPECT_LE(portal.relay().accepted_connections(), 2 * kWorkers);
}

}  // namespace
}  // namespace net
