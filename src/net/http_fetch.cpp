#include "net/http_fetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string_view>

#include "base/encoding.h"
#include "base/text.h"
#include "net/connection_cache.h"
#include "net/cookies.h"
#include "net/http_fetch_text.h"
#include "net/transfer_control.h"

namespace net {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kDefaultTimeoutSeconds = 30;
constexpr long kMaxRedirects = 10;
// How long one wait for network activity may last: it bounds how late a stop request or an
// overtaken load ends the transfer.
constexpr int kWaitSliceMs = 50;

bool GlobalInit() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ok;
}

// CURL and CURLM are both void, so each handle kind gets its own deleter.
struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyPtr = std::unique_ptr<CURL, EasyDeleter>;
using UrlPtr = std::unique_ptr<CURLU, UrlDeleter>;
using ListPtr = std::unique_ptr<curl_slist, ListDeleter>;

// What the callbacks collect. Only the last response counts: interim (1xx) and followed
// redirect responses are discarded when the next status line arrives.
struct Collected {
  std::string headers;
  std::string body;
  bool headers_complete = false;
  std::size_t max_body_bytes = kMaxBodyBytes;
  bool body_refused = false;
  const TransferControl* control = nullptr;
  // When bytes last moved in either direction; a transfer fails when this lies too far back.
  SteadyClock::time_point last_activity{};
  curl_off_t seen_down = 0;
  curl_off_t seen_up = 0;
};

// The program ends, or the load this transfer serves was overtaken. The still-wanted check
// reads this thread's scope, so it is made on the thread that runs the transfer.
bool StopRequested(const TransferControl* control) {
  return (control != nullptr && control->StopRequested()) || !StillWantedOnThisThread();
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* collected = static_cast<Collected*>(user);
  std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    collected->headers.clear();
    collected->body.clear();
    collected->headers_complete = false;
  }
  collected->headers.append(line);
  collected->last_activity = SteadyClock::now();
  if (line == "\r\n" || line == "\n") collected->headers_complete = true;
  return size * count;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* collected = static_cast<Collected*>(user);
  size_t bytes = size * count;
  collected->last_activity = SteadyClock::now();
  if (bytes > collected->max_body_bytes - collected->body.size()) {
    collected->body_refused = true;
    std::string().swap(collected->body);
    return 0;  // makes the transfer fail
  }
  collected->body.append(data, bytes);
  return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
  auto* collected = static_cast<Collected*>(user);
  if (down != collected->seen_down || up != collected->seen_up) {
    collected->seen_down = down;
    collected->seen_up = up;
    collected->last_activity = SteadyClock::now();
  }
  return StopRequested(collected->control) ? 1 : 0;
}

bool IsHttpUrl(CURLU* parsed) {
  char* scheme = nullptr;
  char* host = nullptr;
  bool ok = curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
            curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK;
  if (ok) {
    std::string_view s(scheme);
    ok = (s == "http" || s == "https") && host[0] != '\0';
  }
  curl_free(scheme);
  curl_free(host);
  return ok;
}

// GET (the verb of every unknown number too) and HEAD may be sent twice without harm.
bool IsIdempotent(int verb) { return verb != kVerbPost && verb != kVerbPut; }

bool SetVerb(CURL* easy, int verb, const std::string& gbk_body) {
  auto size = static_cast<curl_off_t>(gbk_body.size());
  auto send_body = [&](const char* method) {
    bool ok = curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, size) == CURLE_OK &&
              curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, gbk_body.c_str()) == CURLE_OK;
    if (method != nullptr) {
      ok = ok && curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method) == CURLE_OK;
    }
    return ok;
  };
  switch (verb) {
    case kVerbPost:
      return curl_easy_setopt(easy, CURLOPT_POST, 1L) == CURLE_OK && send_body(nullptr);
    case kVerbHead:
      return curl_easy_setopt(easy, CURLOPT_NOBODY, 1L) == CURLE_OK;
    case kVerbPut:
      return send_body("PUT");
    default:
      if (!gbk_body.empty()) return send_body("GET");
      return curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L) == CURLE_OK;
  }
}

// The header block as curl wants it: one entry per line, plus an empty "Expect:" so that curl
// sends a body at once instead of waiting for a 100 Continue.
bool BuildHeaderList(const std::string& block, ListPtr* list) {
  ListPtr head;
  auto append = [&head](const char* entry) {
    curl_slist* next = curl_slist_append(head.get(), entry);
    if (next == nullptr) return false;
    (void)head.release();
    head.reset(next);
    return true;
  };
  bool caller_expect = false;
  for (std::string& line : base::Split(block, "\r\n")) {
    if (line.empty()) continue;
    if (base::Find(line, "Expect:", 1, true) == 1) caller_expect = true;
    // curl drops a header given as "Name:"; "Name;" sends it with an empty value.
    if (line.back() == ':') line.back() = ';';
    if (!append(line.c_str())) return false;
  }
  if (!caller_expect && !append("Expect:")) return false;
  *list = std::move(head);
  return true;
}

template <typename... Pairs>
bool SetAll(CURL* easy, Pairs... pairs) {
  return ((curl_easy_setopt(easy, pairs.first, pairs.second) == CURLE_OK) && ...);
}
template <typename V>
std::pair<CURLoption, V> Opt(CURLoption option, V value) {
  return {option, value};
}

bool Connected(CURL* easy, const Collected& collected) {
  curl_off_t pretransfer = 0;
  curl_easy_getinfo(easy, CURLINFO_PRETRANSFER_TIME_T, &pretransfer);
  return pretransfer > 0 || collected.last_activity != SteadyClock::time_point{};
}

// Runs the transfer on a multi handle so that the wait can be cut into short slices: a stop
// request or an overtaken load ends the wait promptly, and a transfer
// that moves no byte for `stall_limit` after connecting fails. A slow but live transfer goes on
// until `deadline`, so that a server trickling bytes cannot hold a request for ever.
CURLcode Perform(CURLM* multi, CURL* easy, Collected& collected,
                 std::chrono::milliseconds stall_limit, SteadyClock::time_point deadline,
                 const char** failure) {
  if (multi == nullptr || curl_multi_add_handle(multi, easy) != CURLM_OK) {
    *failure = kStatusNoConnection;
    return CURLE_FAILED_INIT;
  }
  const TransferControl* control = collected.control;
  bool connected = false;
  CURLcode result = CURLE_OK;
  while (true) {
    if (StopRequested(control)) {
      result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      result = CURLE_RECV_ERROR;
      break;
    }
    if (running == 0) {
      int left = 0;
      result = CURLE_RECV_ERROR;
      while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE) result = message->data.result;
      }
      break;
    }
    // Checked right after curl has read what arrived.
    const SteadyClock::time_point now = SteadyClock::now();
    if (!connected && Connected(easy, collected)) {
      connected = true;
      collected.last_activity = std::max(collected.last_activity, now);
    } else if ((connected && now - collected.last_activity > stall_limit) || now >= deadline) {
      result = CURLE_OPERATION_TIMEDOUT;
      break;
    }
    curl_multi_poll(multi, nullptr, 0, kWaitSliceMs, nullptr);
  }
  curl_multi_remove_handle(multi, easy);
  return result;
}

// Sets every option but the header list; returns the failure status, or nullptr.
const char* Configure(CURL* easy, CURLU* url, const HttpFetchOptions& options, long timeout,
                      Collected& collected) {
  std::string proxy;
  if (!options.proxy.empty()) {
    proxy =
        options.proxy.find("://") == std::string::npos ? "http://" + options.proxy : options.proxy;
  }
  // An empty proxy also keeps curl from taking one from the environment. When the server has
  // closed a kept connection meanwhile, libcurl sends the request once more on a new one; that
  // is harmless for GET and HEAD only, so any other request always gets a new connection.
  if (!ConnectionCache::Instance().Prepare(easy, !IsIdempotent(options.verb)) ||
      !SetAll(easy, Opt(CURLOPT_CURLU, url), Opt(CURLOPT_PROTOCOLS_STR, "http,https"),
              Opt(CURLOPT_REDIR_PROTOCOLS_STR, "http,https"),
              Opt(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)),
              Opt(CURLOPT_NOSIGNAL, 1L), Opt(CURLOPT_SSL_VERIFYPEER, 1L),
              Opt(CURLOPT_SSL_VERIFYHOST, 2L), Opt(CURLOPT_PROXY, proxy.c_str()),
              Opt(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L), Opt(CURLOPT_HEADERFUNCTION, &OnHeader),
              Opt(CURLOPT_HEADERDATA, &collected), Opt(CURLOPT_WRITEFUNCTION, &OnBody),
              Opt(CURLOPT_WRITEDATA, &collected), Opt(CURLOPT_XFERINFOFUNCTION, &OnProgress),
              Opt(CURLOPT_XFERINFODATA, &collected), Opt(CURLOPT_NOPROGRESS, 0L)) ||
      (!options.ca_file.empty() &&
       curl_easy_setopt(easy, CURLOPT_CAINFO, options.ca_file.c_str()) != CURLE_OK) ||
      !SetVerb(easy, options.verb, base::Utf8ToGbk(options.post_data))) {
    return kStatusNoRequest;
  }
  // One limit for resolve plus connect; afterwards the same limit applies to stalls (see
  // Perform), so a slow but live download is not cut.
  if (curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, timeout * 1000) != CURLE_OK) {
    return kStatusTimeoutSetup;
  }
  const std::string user = base::Utf8ToGbk(options.user_name);
  const std::string password = base::Utf8ToGbk(options.password);
  const std::string proxy_user = base::Utf8ToGbk(options.proxy_user);
  const std::string proxy_password = base::Utf8ToGbk(options.proxy_password);
  if ((!user.empty() && !password.empty() &&
       !SetAll(easy, Opt(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC)),
               Opt(CURLOPT_USERNAME, user.c_str()), Opt(CURLOPT_PASSWORD, password.c_str()))) ||
      (!proxy_user.empty() && !proxy_password.empty() &&
       !SetAll(easy, Opt(CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC)),
               Opt(CURLOPT_PROXYUSERNAME, proxy_user.c_str()),
               Opt(CURLOPT_PROXYPASSWORD, proxy_password.c_str())))) {
    return kStatusCredentials;
  }
  if (!SetAll(easy, Opt(CURLOPT_FOLLOWLOCATION, options.no_redirect ? 0L : 1L),
              Opt(CURLOPT_MAXREDIRS, kMaxRedirects))) {
    return kStatusRedirectSetup;
  }
  return nullptr;
}

bool IsRedirect(int code) {
  return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

}  // namespace

HttpFetchResult HttpFetch(const HttpFetchOptions& options) {
  HttpFetchResult result;
  result.cookies = options.cookies;
  auto fail = [&result](const char* status) {
    result.status = status;
    return result;
  };
  // A wait on the thread that owns the windows would freeze them: that is a fault of the
  // caller, refused before anything is sent.
  if (options.control != nullptr && options.control->IsUiThread()) {
    std::fputs("HttpFetch refused on the user-interface thread\n", stderr);
    return fail(kStatusNoRequest);
  }

  if (!GlobalInit()) return fail(kStatusNoHttpService);
  std::string url;
  UrlPtr parsed(curl_url());
  if (!parsed) return fail(kStatusNoHttpService);
  if (!CleanUrl(options.url, &url) ||
      curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK ||
      !IsHttpUrl(parsed.get())) {
    return fail(kStatusBadUrl);
  }
  // Declared before the easy handle so that it outlives it.
  ConnectionCache::Lease lease = ConnectionCache::Instance().Borrow();
  EasyPtr easy_handle(curl_easy_init());
  if (!easy_handle) return fail(kStatusNoSession);
  CURL* easy = easy_handle.get();

  Collected collected;
  collected.max_body_bytes = options.max_body_bytes;
  collected.control = options.control;
  const long timeout =
      options.timeout_seconds > 0 ? options.timeout_seconds : kDefaultTimeoutSeconds;
  const std::chrono::milliseconds deadline(options.deadline_ms > 0
                                               ? static_cast<long long>(options.deadline_ms)
                                               : kDeadlineTimeouts * timeout * 1000LL);
  ListPtr header_list;
  if (const char* failure = Configure(easy, parsed.get(), options, timeout, collected);
      failure != nullptr) {
    return fail(failure);
  }
  if (!BuildHeaderList(BuildRequestHeaderBlock(options.extra_headers, options.cookies.value_or("")),
                       &header_list) ||
      curl_easy_setopt(easy, CURLOPT_HTTPHEADER, header_list.get()) != CURLE_OK) {
    return fail(kStatusHeaders);
  }

  const char* setup_failure = nullptr;
  const CURLcode code =
      Perform(lease.multi(), easy, collected, std::chrono::milliseconds(timeout * 1000),
              SteadyClock::now() + deadline, &setup_failure);
  if (setup_failure != nullptr) return fail(setup_failure);

  ResponseHeaderFacts facts = ReadResponseHeaders(collected.headers);
  const bool redirect_pending =
      !options.no_redirect && IsRedirect(facts.status_code) && !facts.location.empty();
  const bool have_response =
      collected.headers_complete && facts.status_code >= 200 && !redirect_pending;
  if (code != CURLE_OK && !have_response) {
    long request_bytes = 0;
    curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &request_bytes);
    return fail(request_bytes > 0 && code != CURLE_SEND_ERROR ? kStatusNoResponse
                                                              : kStatusSendFailed);
  }

  // A body cut short stays a failure even though the status line arrived.
  result.ok = code == CURLE_OK;
  result.status = result.ok ? facts.status : kStatusReadFailed;
  result.response_headers = std::move(collected.headers);
  result.new_cookies = std::move(facts.new_cookies);
  result.location = std::move(facts.location);
  if (options.cookies.has_value()) {
    std::string merged = *options.cookies;
    CookieMerge(merged, result.new_cookies);
    result.cookies = std::move(merged);
  }
  result.body = std::move(collected.body);
  result.text = DecodeBody(result.body);
  return result;
}

void SetConnectionReuse(bool reuse) {
  if (GlobalInit()) ConnectionCache::Instance().SetReuse(reuse);
}

void CloseIdleConnections() {
  if (GlobalInit()) ConnectionCache::Instance().CloseIdle();
}

HttpFetchResult HttpGet(std::string_view url, TransferControl* control, std::size_t max_body_bytes,
                        std::string_view extra_headers) {
  HttpFetchOptions options;
  options.url = std::string(url);
  options.extra_headers = std::string(extra_headers);
  options.max_body_bytes = max_body_bytes;
  options.control = control;
  return HttpFetch(options);
}

bool AnswerArrived(const HttpFetchResult& result) {
  if (!result.ok) return false;
  int code = 0;
  const std::string_view status = result.status;
  std::from_chars(status.data(), status.data() + status.size(), code);
  return code >= 200 && code < 400;
}

std::optional<std::string> GetAnswerText(std::string_view url, TransferControl* control,
                                         std::size_t max_body_bytes,
                                         std::string_view extra_headers) {
  HttpFetchResult answer = HttpGet(url, control, max_body_bytes, extra_headers);
  if (!AnswerArrived(answer)) return std::nullopt;
  return std::move(answer.text);
}

}  // namespace net
