#include "sim/server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/http_fetch.h"
#include "portal/fund_list.h"

namespace sim {
namespace {

net::HttpFetchResult Get(const std::string& url) {
  return net::HttpGet(url, nullptr, portal::kFundListMaxBytes);
}

PortalSimOptions Small(const FaultOptions& faults = {}) {
  PortalSimOptions options;
  options.market.funds = 60;
  options.market.boards = 4;
  options.faults = faults;
  return options;
}

std::string ListUrl(const PortalSim& sim) {
  return sim.BaseUrl() + "/data/FundGuideapi.aspx?dt=4&sd=&ed=&sc=r&st=desc&pi=1&pn=20";
}

TEST(PortalSimTest, InjectedFaultsReachTheClientAsTheirFailures) {
  PortalSim sim(Small());
  ASSERT_GT(sim.Start(), 0);
  const std::string url = ListUrl(sim);
  EXPECT_EQ("200 OK", Get(url).status);

  sim.SetFaults({.error_rate = 1});
  net::HttpFetchResult error = Get(url);
  EXPECT_EQ("500 Internal Server Error", error.status);

  sim.SetFaults({.truncate_rate = 1});
  net::HttpFetchResult truncated = Get(url);
  EXPECT_EQ(net::kStatusReadFailed, truncated.status);
  EXPECT_EQ(0u, truncated.text.find("var rankData = {datas:["));
  EXPECT_EQ(std::string::npos, truncated.text.find("datacount"));

  sim.SetFaults({.close_rate = 1});
  EXPECT_EQ(net::kStatusNoResponse, Get(url).status);

  net::HttpFetchOptions impatient;
  impatient.url = url;
  impatient.timeout_seconds = 1;
  sim.SetFaults({.latency_ms = 5000});
  EXPECT_EQ(net::kStatusNoResponse, net::HttpFetch(impatient).status);
  sim.SetFaults({.latency_ms = 5000, .latency_rate = 0});
  EXPECT_EQ("200 OK", net::HttpFetch(impatient).status);

  // The stall outlasts the client's time-out, which ends the request.
  sim.SetFaults({.stall_rate = 1});
  EXPECT_EQ(net::kStatusNoResponse, net::HttpFetch(impatient).status);
  // Every request was recorded, faulty or not.
  EXPECT_EQ(7u, sim.requests().Count());
}

TEST(PortalSimTest, StopEndsStalledAnswers) {
  PortalSim sim(Small({.stall_rate = 1, .stall_ms = 600000}));
  ASSERT_GT(sim.Start(), 0);
  // The stall, the client's time-out and its deadline all lie far beyond this test, so only the
  // simulated portal's stop can end the request: it closes the connection unanswered.
  net::HttpFetchResult result;
  std::thread client(
      [&] { result = net::HttpFetch({.url = ListUrl(sim), .timeout_seconds = 3600}); });
  while (sim.requests().Count() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  sim.Stop();
  client.join();
  EXPECT_EQ(net::kStatusNoResponse, result.status);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ("", result.text);
}

TEST(PortalSimTest, FaultRatesApplyToTheirShareOfRequests) {
  PortalSim sim(Small({.error_rate = 0.5}));
  ASSERT_GT(sim.Start(), 0);
  int errors = 0;
  for (int i = 0; i < 60; ++i) errors += Get(ListUrl(sim)).status != "200 OK";
  EXPECT_GT(errors, 10);
  EXPECT_LT(errors, 50);
}

TEST(PortalSimTest, UnknownPathsAreRecordedAndAnsweredNotFound) {
  PortalSim sim(Small());
  ASSERT_GT(sim.Start(), 0);
  net::HttpFetchOptions post;
  post.url = sim.BaseUrl() + "/nowhere";
  post.verb = net::kVerbPost;
  post.post_data = "a=1";
  EXPECT_EQ("404 Not Found", net::HttpFetch(post).status);
  const std::vector<RecordedRequest> requests = sim.requests().Snapshot();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("POST", requests[0].method);
  EXPECT_EQ("/nowhere", requests[0].target);
  EXPECT_EQ("a=1", requests[0].body);
  EXPECT_EQ("application/x-www-form-urlencoded", requests[0].Header("Content-Type"));
}

}  // namespace
}  // namespace sim
