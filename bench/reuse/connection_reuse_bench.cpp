// Requests over HTTPS through a relay that charges a 30 ms round trip, once with kept
// connections and once connecting anew for every request, and prints the ratio of the two
// times (goal: at most 0.5) for
//   (a) opening one fund: its main page and its four profile pages, one after another, as the
//       fund detail does on the UI thread;
//   (b) the detail phase of the full download: the four profile pages of every fund, one
//       thread per fund and at most five at a time.
// For (b) it also prints the ratio to the least time possible when each request costs exactly
// one round trip: rounds of five funds, four requests each.
// Usage: connection_reuse_bench [funds (500)] [round trip ms (30)]

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "net/http_fetch.h"
#include "net/portal.h"
#include "portal/fund_page.h"
#include "portal/fund_profile.h"
#include "sim/delay_relay.h"
#include "sim/server.h"
#include "sim/test_certificate.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWorkers = 5;
constexpr int kPagesPerFund = 4;

struct Setup {
  net::PortalUrls urls;
  std::string ca_file;
  std::atomic<int> failures{0};
};

void Get(Setup& setup, const std::string& url, std::size_t cap, const std::string& headers = {}) {
  net::HttpFetchResult result = net::HttpFetch(
      {.url = url, .extra_headers = headers, .max_body_bytes = cap, .ca_file = setup.ca_file});
  if (result.status != "200 OK") setup.failures.fetch_add(1);
}

void ProfilePages(Setup& setup, const std::string& code) {
  Get(setup, portal::FundSizePageUrl(setup.urls, code), portal::kFundProfilePageMaxBytes);
  Get(setup, portal::FundManagerPageUrl(setup.urls, code), portal::kFundProfilePageMaxBytes);
  Get(setup, portal::FundRatingUrl(setup.urls, code), portal::kFundRatingMaxBytes,
      portal::FundRatingHeaders(setup.urls, code));
  Get(setup, portal::FundRiskPageUrl(setup.urls, code), portal::kFundProfilePageMaxBytes);
}

// Opens `count` funds one after another; each starts with no kept connection.
double OpenFunds(Setup& setup, const std::vector<std::string>& codes, int count) {
  double seconds = 0;
  for (int i = 0; i < count; ++i) {
    net::CloseIdleConnections();
    const Clock::time_point start = Clock::now();
    Get(setup, portal::FundMainPageUrl(setup.urls, codes[i]), portal::kFundMainPageMaxBytes);
    ProfilePages(setup, codes[i]);
    seconds += std::chrono::duration<double>(Clock::now() - start).count();
  }
  return seconds;
}

double FullDownload(Setup& setup, const std::vector<std::string>& codes) {
  net::CloseIdleConnections();
  std::counting_semaphore<kWorkers> slots(kWorkers);
  std::vector<std::thread> threads;
  const Clock::time_point start = Clock::now();
  for (const std::string& code : codes) {
    slots.acquire();
    threads.emplace_back([&setup, &slots, code] {
      ProfilePages(setup, code);
      slots.release();
    });
  }
  for (std::thread& thread : threads) thread.join();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int funds = argc > 1 ? std::atoi(argv[1]) : 500;
  const int round_trip_ms = argc > 2 ? std::atoi(argv[2]) : 30;
  char dir_template[] = "/tmp/connection_reuse_bench.XXXXXX";
  const char* dir = mkdtemp(dir_template);
  sim::TestCertificate certificate;
  if (funds < 1 || dir == nullptr || !sim::MakeTestCertificate(dir, &certificate)) {
    std::fprintf(stderr, "connection_reuse_bench: cannot make a test certificate\n");
    return 1;
  }
  sim::PortalSimOptions options;
  options.market.funds = std::max(funds, 10);
  options.tls_cert_file = certificate.cert_file;
  options.tls_key_file = certificate.key_file;
  sim::PortalSim portal(options);
  sim::DelayRelay relay(portal.Start(), std::chrono::milliseconds(round_trip_ms / 2));
  if (portal.port() < 0 || relay.Start() < 0) {
    std::fprintf(stderr, "connection_reuse_bench: cannot listen\n");
    return 1;
  }
  Setup setup;
  setup.ca_file = certificate.cert_file;
  setup.urls = net::PortalUrls::Load([&](std::string_view) { return relay.BaseUrl("https"); });
  std::vector<std::string> codes;
  for (int i = 0; i < funds; ++i) codes.push_back(portal.market().funds()[i].code);

  constexpr int kOpens = 5;
  const int opened = std::min(kOpens, funds);
  std::vector<double> open_seconds, download_seconds;
  std::vector<int> connections;
  for (bool reuse : {true, false}) {
    net::SetConnectionReuse(reuse);
    const int before = relay.accepted_connections();
    open_seconds.push_back(OpenFunds(setup, codes, opened) / opened);
    download_seconds.push_back(FullDownload(setup, codes));
    connections.push_back(relay.accepted_connections() - before);
  }
  net::SetConnectionReuse(true);
  const double ideal = (funds + kWorkers - 1) / kWorkers * kPagesPerFund * round_trip_ms / 1000.0;

  std::printf("HTTPS, round trip %d ms, %d funds, %d workers; %d failed requests\n", round_trip_ms,
              funds, kWorkers, setup.failures.load());
  std::printf("connections: %d kept, %d without keeping\n", connections[0], connections[1]);
  std::printf("(a) open one fund: %.3f s kept / %.3f s new = ratio %.2f (goal <= 0.5)\n",
              open_seconds[0], open_seconds[1], open_seconds[0] / open_seconds[1]);
  std::printf("(b) full download: %.2f s kept / %.2f s new = ratio %.2f (goal <= 0.5)\n",
              download_seconds[0], download_seconds[1], download_seconds[0] / download_seconds[1]);
  std::printf(
      "(b) full download to T_ideal %.2f s (one round trip per request): kept %.2f, "
      "new %.2f\n",
      ideal, download_seconds[0] / ideal, download_seconds[1] / ideal);
  std::remove(certificate.cert_file.c_str());
  std::remove(certificate.key_file.c_str());
  rmdir(dir);
  return setup.failures.load() == 0 ? 0 : 1;
}
