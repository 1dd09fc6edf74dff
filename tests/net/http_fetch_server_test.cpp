// The HTTP routine against cpp-httplib servers: decoding, redirects, credentials, TLS,
// time-outs, the overall deadline, the stop request and the UI event pump.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "base/encoding.h"
#include "net/http_fetch.h"
#include "net/http_fetch_test_servers.h"
#include "net/transfer_control.h"
#include "support/temp_dir.h"

namespace net {
namespace {

using http_test::LoopbackServer;

HttpFetchResult Get(const std::string& url, TransferControl* control = nullptr) {
  return HttpFetch({.url = url, .control = control});
}

// An answer whose body arrives one byte every 200 ms, `bytes` bytes in all.
void ServeTrickle(LoopbackServer& server, const std::string& path, size_t bytes) {
  server.server().Get(path, [bytes](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider(
        "text/plain", [bytes](size_t offset, httplib::DataSink& sink) {
          if (offset >= bytes) {
            sink.done();
            return true;
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(200));
          return sink.write("x", 1);
        });
  });
}

std::string Page(const std::string& charset) {
  return "<html><head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" +
         charset + "\">\r\n</head><body>易方达消费行业股票 净值1.2345</body></html>";
}

TEST(HttpFetchServerTest, PagesAreDecodedByTheirMetaCharsetOrByTheirBytes) {
  LoopbackServer server;
  auto serve = [&](const std::string& path, std::string bytes) {
    server.server().Get(path, [bytes](const httplib::Request&, httplib::Response& response) {
      response.set_content(bytes, "text/html");
    });
  };
  serve("/utf8", Page("utf-8"));
  serve("/gbk", base::Utf8ToGbk(Page("gbk")));
  serve("/GBK", base::Utf8ToGbk(Page("GBK")));
  serve("/gb2312", base::Utf8ToGbk(Page("gb2312")));
  serve("/plain-gbk", base::Utf8ToGbk("基金净值"));
  serve("/plain-utf8", "基金净值");
  server.Start();

  EXPECT_EQ(Page("utf-8"), Get(server.Url("/utf8")).text);
  HttpFetchResult gbk = Get(server.Url("/gbk"));
  EXPECT_EQ(Page("gbk"), gbk.text);
  EXPECT_EQ(base::Utf8ToGbk(Page("gbk")), gbk.body);
  EXPECT_EQ(Page("GBK"), Get(server.Url("/GBK")).text);
  EXPECT_EQ(Page("gb2312"), Get(server.Url("/gb2312")).text);
  EXPECT_EQ("基金净值", Get(server.Url("/plain-gbk")).text);
  EXPECT_EQ("基金净值", Get(server.Url("/plain-utf8")).text);
}

TEST(HttpFetchServerTest, RedirectsAreFollowedUnlessSwitchedOff) {
  LoopbackServer server;
  server.server().Get("/old", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("/new");
    response.set_header("Set-Cookie", "hop=1");
  });
  server.server().Get("/new", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("arrived", "text/plain");
  });
  server.Start();

  HttpFetchResult followed = Get(server.Url("/old"));
  EXPECT_EQ("200 OK", followed.status);
  EXPECT_EQ("arrived", followed.text);
  EXPECT_EQ("", followed.location);
  // Only the final response's headers and cookies are reported.
  EXPECT_EQ(0u, followed.response_headers.find("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(std::string::npos, followed.response_headers.find("302"));
  EXPECT_EQ("", followed.new_cookies);

  HttpFetchResult stopped = HttpFetch({.url = server.Url("/old"), .no_redirect = true});
  EXPECT_EQ("302 Found", stopped.status);
  EXPECT_EQ("/new", stopped.location);
  EXPECT_EQ("hop=1", stopped.new_cookies);
}

TEST(HttpFetchServerTest, BasicCredentialsAreSentOnlyWhenBothAreGiven) {
  LoopbackServer server;
  server.server().Get("/private", [](const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("Authorization") == "Basic ZnVuZDpzM2NyZXQ=") {
      response.set_content("welcome", "text/plain");
    } else {
      response.status = 401;
      response.set_header("WWW-Authenticate", "Basic realm=\"fund\"");
    }
  });
  server.Start();

  HttpFetchResult in =
      HttpFetch({.url = server.Url("/private"), .user_name = "fund", .password = "s3cret"});
  EXPECT_EQ("200 OK", in.status);
  EXPECT_EQ("welcome", in.text);
  HttpFetchResult out = HttpFetch({.url = server.Url("/private"), .user_name = "fund"});
  EXPECT_EQ("401 Unauthorized", out.status);
}

TEST(HttpFetchServerTest, StalledServerFailsAfterTheTimeOut) {
  LoopbackServer server;
  server.server().Get("/stall", [&](const httplib::Request&, httplib::Response& response) {
    server.Stall();
    response.set_content("late", "text/plain");
  });
  server.Start();

  HttpFetchResult result = HttpFetch({.url = server.Url("/stall"), .timeout_seconds = 1});
  EXPECT_EQ(kStatusNoResponse, result.status);
  EXPECT_EQ("", result.text);
  EXPECT_FALSE(result.ok);
}

TEST(HttpFetchServerTest, TrickleIsCutAtTheDeadlineWhileASlowButLiveTransferEnds) {
  LoopbackServer server;
  // A minute of trickling: far beyond every deadline below, so a body that comes back whole
  // means the deadline did not act.
  ServeTrickle(server, "/trickle", 300);
  ServeTrickle(server, "/slow", 5);
  server.Start();

  // The stall time-out never fires, since a byte comes every 200 ms.
  HttpFetchResult cut =
      HttpFetch({.url = server.Url("/trickle"), .timeout_seconds = 30, .deadline_ms = 1000});
  EXPECT_EQ(kStatusReadFailed, cut.status);
  EXPECT_FALSE(cut.ok);
  EXPECT_LT(cut.body.size(), 300u);
  EXPECT_EQ(std::string(cut.body.size(), 'x'), cut.text);

  // Without a deadline of its own a request gets a few times its time-out.
  HttpFetchResult by_default = HttpFetch({.url = server.Url("/trickle"), .timeout_seconds = 1});
  EXPECT_EQ(kStatusReadFailed, by_default.status);
  EXPECT_LT(by_default.body.size(), 300u);

  // Longer than the time-out in all, but never that long without data, and within the deadline.
  HttpFetchResult slow =
      HttpFetch({.url = server.Url("/slow"), .timeout_seconds = 1, .deadline_ms = 60000});
  EXPECT_EQ("200 OK", slow.status);
  EXPECT_EQ("xxxxx", slow.text);
}

TEST(HttpFetchServerTest, UntrustedCertificateIsRefusedAndTrustedOneAccepted) {
  test_support::TempDir dir;
  const std::string cert = (dir / "cert.pem").string();
  const std::string key = (dir / "key.pem").string();
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
      "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
      key + "' -out '" + cert + "' >/dev/null 2>&1";
  ASSERT_EQ(0, std::system(command.c_str()));
  auto tls = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
  ASSERT_TRUE(tls->is_valid());
  LoopbackServer server(std::move(tls));
  server.server().Get("/secure", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("secret", "text/plain");
  });
  server.Start();

  HttpFetchResult refused = Get(server.Url("/secure", "https"));
  EXPECT_EQ(kStatusSendFailed, refused.status);
  EXPECT_EQ("", refused.text);

  HttpFetchResult trusted = HttpFetch({.url = server.Url("/secure", "https"), .ca_file = cert});
  EXPECT_EQ("200 OK", trusted.status);
  EXPECT_EQ("secret", trusted.text);
}

TEST(HttpFetchServerTest, StopRequestAbortsTransfersUnderItsControlInFlightAndLaterOnes) {
  LoopbackServer server;
  std::atomic<bool> arrived{false};
  server.server().Get("/stall", [&](const httplib::Request&, httplib::Response&) {
    arrived = true;
    server.Stall();
  });
  server.server().Get("/quick", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("quick", "text/plain");
  });
  server.Start();

  // The stalled answer is held until the server goes and the time-out and deadline lie hours
  // away, so only the stop request can end this transfer.
  TransferControl control;
  HttpFetchResult result;
  std::thread worker([&] {
    result = HttpFetch({.url = server.Url("/stall"), .timeout_seconds = 3600, .control = &control});
  });
  while (!arrived) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  control.RequestStop();
  worker.join();
  EXPECT_EQ(kStatusNoResponse, result.status);
  EXPECT_FALSE(result.ok);

  HttpFetchResult later = Get(server.Url("/quick"), &control);
  EXPECT_EQ(kStatusSendFailed, later.status);
  // Another control, or none, is not stopped.
  TransferControl other;
  EXPECT_EQ("quick", Get(server.Url("/quick"), &other).text);
  EXPECT_EQ("quick", Get(server.Url("/quick")).text);
}

TEST(HttpFetchServerTest, UiThreadIsRefusedAndAnOvertakenLoadStopsEarly) {
  LoopbackServer server;
  std::atomic<int> asked{0};
  server.server().Get("/slow", [&](const httplib::Request&, httplib::Response& response) {
    ++asked;
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    response.set_content("slow", "text/plain");
  });
  server.server().Get("/quick", [&](const httplib::Request&, httplib::Response& response) {
    ++asked;
    response.set_content("quick", "text/plain");
  });
  server.Start();

  TransferControl control;
  control.SetUiThread();
  // On the thread that owns the windows nothing is sent.
  const HttpFetchResult refused = Get(server.Url("/quick"), &control);
  EXPECT_EQ(kStatusNoRequest, refused.status);
  EXPECT_EQ(0, asked.load());

  std::atomic<bool> wanted{true};
  HttpFetchResult overtaken, quick;
  std::thread worker([&] {
    quick = Get(server.Url("/quick"), &control);
    const StillWantedScope scope([&] { return wanted.load(); });
    overtaken = Get(server.Url("/slow"), &control);
  });
  while (asked < 2) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  wanted = false;
  worker.join();
  EXPECT_EQ("quick", quick.text);
  // Ended by the check before the answer came.
  EXPECT_EQ(kStatusNoResponse, overtaken.status);
  EXPECT_EQ("", overtaken.text);
}

}  // namespace
}  // namespace net
