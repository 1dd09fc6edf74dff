#pragma once

// The program's one way to the network: a synchronous HTTP(S) request on the calling thread.
// Failures never throw; they come back as a numbered status text and an empty result text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace net {

// Verbs by number; any other number sends GET. HEAD sends no body.
inline constexpr int kVerbGet = 0;
inline constexpr int kVerbPost = 1;
inline constexpr int kVerbHead = 2;
inline constexpr int kVerbPut = 3;

// Numbered status texts for failures.
inline constexpr const char* kStatusNoHttpService = "700 当前系统不支持WinHttp服务!";
inline constexpr const char* kStatusBadUrl = "701 解析URL地址失败!";
inline constexpr const char* kStatusNoSession = "702 创建WinHttp会话失败!";
inline constexpr const char* kStatusNoConnection = "703 创建WinHttp连接失败!";
inline constexpr const char* kStatusNoRequest = "704 创建WinHttp请求失败!";
inline constexpr const char* kStatusTimeoutSetup = "705 设置超时时间失败!";
inline constexpr const char* kStatusCredentials = "707 设置代理凭证失败!";
inline constexpr const char* kStatusCookieOption = "708 禁止自动设置Cookies失败!";
inline constexpr const char* kStatusRedirectSetup = "709 重定向设置失败!";
inline constexpr const char* kStatusHeaders = "710 设置协议头失败!";
inline constexpr const char* kStatusSendFailed = "711 发送请求失败!";
inline constexpr const char* kStatusNoResponse = "712 服务器未响应!";
inline constexpr const char* kStatusReadFailed = "713 读取数据失败!";

// The body cap of requests that name none. Loaders of portal endpoints use their endpoint's
// far smaller cap (the portal library, src/portal).
inline constexpr std::size_t kMaxBodyBytes = 64u << 20;

// The overall deadline of a request that names none, as a multiple of its time-out.
inline constexpr int kDeadlineTimeouts = 4;

class TransferControl;

// Every member has an initializer, so designated initializers may leave any of them out.
struct HttpFetchOptions {
  // Absolute http or https URL. Trailing blanks are dropped, inner blanks are sent as %20.
  std::string url{};
  int verb = kVerbGet;
  // Request body (UTF-8 here; sent as its GBK bytes). Empty: no body.
  std::string post_data{};
  // Cookie text "a=1; b=2". When given (even empty), the result carries it merged with the
  // response's cookies; a non-empty text is also sent as a Cookie header.
  std::optional<std::string> cookies{};
  // Caller header lines separated by CR LF, without a final CR LF. A caller line suppresses
  // the default line of the same header.
  std::string extra_headers{};
  bool no_redirect = false;
  // Basic server credentials, used only when both are not empty.
  std::string user_name{};
  std::string password{};
  // "host:port" of an HTTP proxy; empty means a direct connection (proxy variables of the
  // environment are ignored).
  std::string proxy{};
  std::string proxy_user{};
  std::string proxy_password{};
  // Limit for name resolution plus connect, and for any stall while sending or receiving.
  // 0 or less means 30 seconds.
  int timeout_seconds = 0;
  // Limit for the whole request, however steadily bytes arrive; reaching it fails the request
  // as a time-out does. 0 or less means kDeadlineTimeouts times the time-out.
  int deadline_ms = 0;
  // A longer body is refused: the request fails as a read failure with empty text and body, so
  // that a hostile server can neither exhaust memory nor have a part of its answer used.
  std::size_t max_body_bytes = kMaxBodyBytes;
  // PEM file of additional trusted certificates (tests and private deployments); empty means
  // the system's trust store only. Certificates are always verified.
  std::string ca_file{};
  // The stop request and the thread that must not wait; null: neither.
  TransferControl* control = nullptr;
};

struct HttpFetchResult {
  // The body decoded to UTF-8 (meta charset in the first 1024 bytes, else UTF-8 when valid,
  // else GBK). Empty after the failures 700 to 712 and after a refused body; after
  // another 713 the part read before it.
  std::string text;
  // Merged cookie text; present exactly when the caller gave cookies.
  std::optional<std::string> cookies;
  // The response's Set-Cookie items (attributes dropped) joined by "; "; when cookies were
  // given, in the blank-free form the merge leaves them in ("a=1;b=2").
  std::string new_cookies;
  // Raw header block of the final response, lines ending in CR LF.
  std::string response_headers;
  // Value of the final response's Location header, if any.
  std::string location;
  // "200 OK" style status of the response, or one of the numbered failure texts. A time-out or
  // the deadline gives 712 before the response's headers and 713 after them.
  std::string status;
  // Raw body bytes.
  std::string body;
  // True when a complete response was received (whatever its HTTP status code).
  bool ok = false;
};

// Runs on the calling thread and waits there. On the UI thread of `options.control` it is
// refused (status 704, nothing sent): the windows must never wait for the network. A transfer
// ends early, as a failure, when the control asks to stop or the load it serves was overtaken
// (StillWantedScope).
HttpFetchResult HttpFetch(const HttpFetchOptions& options);

// Requests keep their connection, TLS session and DNS answer for later requests to the same
// host, from any thread; the requests themselves stay byte for byte the same. A GET or HEAD
// whose kept connection the server had closed is sent once more on a new connection; a POST or
// PUT always goes out on a new one and is never sent twice. Off, every request connects anew
// and keeps nothing (measurements compare the two).
void SetConnectionReuse(bool reuse);
// Closes the kept connections that no request is using.
void CloseIdleConnections();

// GET under `control` (may be null) with the endpoint's body cap, optional caller header lines
// and every other option at its default.
HttpFetchResult HttpGet(std::string_view url, TransferControl* control, std::size_t max_body_bytes,
                        std::string_view extra_headers = {});

// True when a whole answer arrived with an HTTP status below 400. Only such an answer is data:
// a transfer failure, a body cut short of its announced length and an error page are failed
// loads alike, however normal the text they carry looks.
bool AnswerArrived(const HttpFetchResult& result);

// HttpGet's text when the answer arrived (AnswerArrived); nothing otherwise.
std::optional<std::string> GetAnswerText(std::string_view url, TransferControl* control,
                                         std::size_t max_body_bytes,
                                         std::string_view extra_headers = {});

}  // namespace net
