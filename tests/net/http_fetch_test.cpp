#include "net/http_fetch.h"

#include <gtest/gtest.h>

#include <atomic>

#include "base/encoding.h"
#include "net/http_fetch_test_servers.h"
#include "net/portal.h"
#include "portal/fund_list.h"

namespace net {
namespace {

using http_test::LoopbackServer;
using http_test::RawServer;

constexpr const char* kOkEmpty = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";

constexpr const char* kDefaultLines =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
    "Accept: text/html, application/xhtml+xml, */*\r\n"
    "Accept-Encoding: gbk, GB2312\r\n"
    "Accept-Language: zh-cn\r\n"
    "Content-Type: application/x-www-form-urlencoded\r\n"
    "Cache-Control: no-cache\r\n";

HttpFetchResult Get(const std::string& url) { return HttpFetch({.url = url}); }

std::string RequestLine(const std::string& request) {
  return request.substr(0, request.find("\r\n"));
}

// The request's header lines after the Host line, which curl always writes first.
std::string HeadersAfterHost(const std::string& request) {
  size_t host = request.find("\r\nHost: ");
  size_t after = request.find("\r\n", host + 2) + 2;
  return request.substr(after, request.find("\r\n\r\n") + 2 - after);
}

TEST(HttpFetchTest, RefererOnlyHeadersAreFollowedByAllDefaultLinesAndCookieOnlyWhenGiven) {
  RawServer server(kOkEmpty);
  const std::string referer = "Referer: http://portal.example/ztjj/";

  HttpFetchResult plain = HttpFetch({.url = server.Url("/list?x=1"), .extra_headers = referer});
  EXPECT_EQ("200 OK", plain.status);
  std::string request = server.LastRequest();
  EXPECT_EQ("GET /list?x=1 HTTP/1.1", RequestLine(request));
  EXPECT_EQ(referer + "\r\n" + kDefaultLines, HeadersAfterHost(request));

  HttpFetch({.url = server.Url("/"), .cookies = std::string(""), .extra_headers = referer});
  EXPECT_EQ(referer + "\r\n" + kDefaultLines, HeadersAfterHost(server.LastRequest()));

  HttpFetch({.url = server.Url("/"), .cookies = std::string("a=1; b=2")});
  EXPECT_EQ(std::string(kDefaultLines) + "Cookie: a=1; b=2\r\n",
            HeadersAfterHost(server.LastRequest()));
}

TEST(HttpFetchTest, CallerHeaderLinesReplaceOnlyTheirOwnDefaults) {
  RawServer server(kOkEmpty);
  HttpFetch({.url = server.Url("/"), .extra_headers = "user-agent: Test/1.0\r\nAccept: */*"});
  std::string expected =
      "user-agent: Test/1.0\r\nAccept: */*\r\n"
      "Accept-Encoding: gbk, GB2312\r\nAccept-Language: zh-cn\r\n"
      "Content-Type: application/x-www-form-urlencoded\r\nCache-Control: no-cache\r\n";
  EXPECT_EQ(expected, HeadersAfterHost(server.LastRequest()));

  // The Content-Type test is case-sensitive: a lower-case caller line keeps the default.
  HttpFetch({.url = server.Url("/"), .extra_headers = "content-type: text/plain"});
  std::string headers = HeadersAfterHost(server.LastRequest());
  EXPECT_NE(std::string::npos, headers.find("content-type: text/plain\r\n"));
  EXPECT_NE(std::string::npos, headers.find("Content-Type: application/x-www-form-urlencoded\r\n"));
}

TEST(HttpFetchTest, CallerLineWithoutValueIsSentEmpty) {
  RawServer server(kOkEmpty);
  HttpFetch({.url = server.Url("/"), .extra_headers = "X-Empty:\r\nReferer: r"});
  EXPECT_EQ(std::string("X-Empty:\r\nReferer: r\r\n") + kDefaultLines,
            HeadersAfterHost(server.LastRequest()));
}

TEST(HttpFetchTest, VerbNumbersChooseTheMethodAndUnknownOnesSendGet) {
  RawServer server(kOkEmpty);
  const std::string url = server.Url("/v");
  HttpFetch({.url = url, .verb = 7});
  EXPECT_EQ("GET /v HTTP/1.1", RequestLine(server.LastRequest()));
  HttpFetch({.url = url, .verb = kVerbHead});
  EXPECT_EQ("HEAD /v HTTP/1.1", RequestLine(server.LastRequest()));
  HttpFetch({.url = url, .verb = kVerbPut, .post_data = "k=v"});
  EXPECT_EQ("PUT /v HTTP/1.1", RequestLine(server.LastRequest()));

  // The body goes out as GBK bytes, with no Expect handshake.
  HttpFetch({.url = url, .verb = kVerbPost, .post_data = "usr=张三&bs=20000"});
  std::string request = server.LastRequest();
  EXPECT_EQ("POST /v HTTP/1.1", RequestLine(request));
  const std::string gbk_body = base::Utf8ToGbk("usr=张三&bs=20000");
  EXPECT_EQ(gbk_body, request.substr(request.find("\r\n\r\n") + 4));
  EXPECT_NE(std::string::npos,
            request.find("Content-Length: " + std::to_string(gbk_body.size()) + "\r\n"));
  EXPECT_EQ(std::string::npos, request.find("Expect:"));
}

TEST(HttpFetchTest, UrlWithoutPathRequestsRootAndBlanksAreCleanedUp) {
  RawServer server(kOkEmpty);
  Get("http://127.0.0.1:" + std::to_string(server.port()));
  EXPECT_EQ("GET / HTTP/1.1", RequestLine(server.LastRequest()));
  Get(server.Url("/005669.html?spm=search "));
  EXPECT_EQ("GET /005669.html?spm=search HTTP/1.1", RequestLine(server.LastRequest()));
  Get(server.Url("/a b.html"));
  EXPECT_EQ("GET /a%20b.html HTTP/1.1", RequestLine(server.LastRequest()));
}

TEST(HttpFetchTest, MalformedOrForeignUrlsAreRefusedBeforeAnyConnection) {
  for (const char* url : {"", "not a url", "ftp://127.0.0.1/file", "http://", "file:///etc/passwd",
                          "http://127.0.0.1/a\nb"}) {
    HttpFetchResult result = Get(url);
    EXPECT_EQ(kStatusBadUrl, result.status) << url;
    EXPECT_EQ("", result.text) << url;
    EXPECT_FALSE(result.ok) << url;
  }
}

TEST(HttpFetchTest, SetCookieLinesBecomeNewCookiesAndMergeIntoGivenCookies) {
  RawServer server(
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; Path=/; HttpOnly\r\nset-cookie: b=2\r\n"
      "Content-Length: 2\r\n\r\nok");
  HttpFetchResult omitted = Get(server.Url("/"));
  EXPECT_EQ("a=1; b=2", omitted.new_cookies);
  EXPECT_FALSE(omitted.cookies.has_value());
  EXPECT_EQ("ok", omitted.text);

  HttpFetchResult given = HttpFetch({.url = server.Url("/"), .cookies = std::string("b=0; c=3")});
  ASSERT_TRUE(given.cookies.has_value());
  EXPECT_EQ("a=1; b=2; c=3", *given.cookies);
  // Merging leaves the response's items in their blank-free form.
  EXPECT_EQ("a=1;b=2", given.new_cookies);

  RawServer no_cookies(kOkEmpty);
  HttpFetchResult none = HttpFetch({.url = no_cookies.Url("/"), .cookies = std::string("c=3")});
  EXPECT_EQ("", none.new_cookies);
  EXPECT_EQ("c=3", none.cookies.value_or("missing"));
}

TEST(HttpFetchTest, LowerCaseLocationLineIsReadAndStatusComesFromTheStatusLine) {
  RawServer server(
      "HTTP/1.1 302 Found\r\nlocation: http://127.0.0.1/next\r\nContent-Length: 0\r\n\r\n");
  HttpFetchResult result = HttpFetch({.url = server.Url("/"), .no_redirect = true});
  EXPECT_EQ("http://127.0.0.1/next", result.location);
  EXPECT_EQ("302 Found", result.status);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ("HTTP/1.1 302 Found\r\nlocation: http://127.0.0.1/next\r\nContent-Length: 0\r\n\r\n",
            result.response_headers);
}

TEST(HttpFetchTest, ServerErrorIsAnAnswerNotAFailure) {
  RawServer server("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\n\r\noops");
  HttpFetchResult result = Get(server.Url("/"));
  EXPECT_EQ("500 Internal Server Error", result.status);
  EXPECT_EQ("oops", result.text);
  EXPECT_TRUE(result.ok);
}

TEST(HttpFetchTest, BodyCutShortReportsReadFailureWithThePartRead) {
  RawServer server("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789");
  HttpFetchResult result = Get(server.Url("/"));
  EXPECT_EQ(kStatusReadFailed, result.status);
  EXPECT_EQ("0123456789", result.text);
  EXPECT_EQ("0123456789", result.body);
  EXPECT_FALSE(result.ok);
}

TEST(HttpFetchTest, BodyBeyondTheSizeLimitIsRefusedAsReadFailureWithNothingOfIt) {
  RawServer server("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + std::string(5000, 'x'));
  HttpFetchResult huge = HttpFetch({.url = server.Url("/"), .max_body_bytes = 1000});
  EXPECT_EQ(kStatusReadFailed, huge.status);
  EXPECT_EQ("", huge.body);
  EXPECT_EQ("", huge.text);
  EXPECT_FALSE(huge.ok);
  HttpFetchResult fits = HttpFetch({.url = server.Url("/"), .max_body_bytes = 5000});
  EXPECT_EQ("200 OK", fits.status);
  EXPECT_EQ(5000u, fits.body.size());
}

TEST(HttpFetchTest, AnswerOverItsEndpointCapIsRefusedAndOneAtTheCapRead) {
  static_assert(portal::kFundListMaxBytes < kMaxBodyBytes);
  LoopbackServer server;
  std::atomic<size_t> body_size{0};
  server.server().Get(std::string(portal::kFundGuidePath),
                      [&](const httplib::Request&, httplib::Response& response) {
                        response.set_content(std::string(body_size, '1'), "text/plain");
                      });
  // An answer that announces no length and never ends.
  server.server().Get("/endless", [](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("text/plain", [](size_t, httplib::DataSink& sink) {
      const std::string block(64 << 10, '1');
      return sink.write(block.data(), block.size());
    });
  });
  server.Start();
  PortalUrls urls;
  urls.portal_main = server.Url("");
  const std::string url = portal::RankingListUrl(urls, "r", "desc");

  body_size = portal::kFundListMaxBytes + 1;
  HttpFetchResult over = HttpGet(url, nullptr, portal::kFundListMaxBytes);
  EXPECT_EQ(kStatusReadFailed, over.status);
  EXPECT_FALSE(over.ok);
  EXPECT_EQ("", over.text);

  HttpFetchResult endless = HttpGet(server.Url("/endless"), nullptr, portal::kFundListMaxBytes);
  EXPECT_EQ(kStatusReadFailed, endless.status);
  EXPECT_EQ("", endless.text);

  body_size = portal::kFundListMaxBytes;
  HttpFetchResult at_cap = HttpGet(url, nullptr, portal::kFundListMaxBytes);
  EXPECT_EQ("200 OK", at_cap.status);
  EXPECT_EQ(portal::kFundListMaxBytes, at_cap.text.size());
}

TEST(HttpFetchTest, ConnectionClosedWithoutAnswerMeansNoResponse) {
  RawServer server("");
  HttpFetchResult result = Get(server.Url("/"));
  EXPECT_EQ(kStatusNoResponse, result.status);
  EXPECT_EQ("", result.text);
}

TEST(HttpFetchTest, UnreachablePortFailsToSend) {
  int port = 0;
  {
    LoopbackServer closed;
    closed.Start();
    port = closed.port();
  }
  HttpFetchResult result = Get("http://127.0.0.1:" + std::to_string(port) + "/");
  EXPECT_EQ(kStatusSendFailed, result.status);
  EXPECT_EQ("", result.text);
  EXPECT_EQ("", result.response_headers);
  EXPECT_FALSE(result.ok);
}

TEST(HttpFetchTest, ProxyReceivesAbsoluteRequestWithItsCredentials) {
  RawServer proxy("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nproxy");
  HttpFetchResult result = HttpFetch({.url = "http://fund.example:8080/data?x=1",
                                      .proxy = "127.0.0.1:" + std::to_string(proxy.port()),
                                      .proxy_user = "pu",
                                      .proxy_password = "pp"});
  EXPECT_EQ("proxy", result.text);
  std::string request = proxy.LastRequest();
  EXPECT_EQ("GET http://fund.example:8080/data?x=1 HTTP/1.1", RequestLine(request));
  // base64("pu:pp")
  EXPECT_NE(std::string::npos, request.find("Proxy-Authorization: Basic cHU6cHA=\r\n"));

  // One credential alone is not used.
  HttpFetch({.url = "http://fund.example/",
             .proxy = "127.0.0.1:" + std::to_string(proxy.port()),
             .proxy_user = "pu"});
  EXPECT_EQ(std::string::npos, proxy.LastRequest().find("Proxy-Authorization"));
}

}  // namespace
}  // namespace net
