#include "sim/server.h"

#include <chrono>

#include "sim/board_ranking.h"
#include "sim/fund_guide.h"
#include "sim/fund_pages.h"
#include "sim/fund_search.h"
#include "sim/holdings.h"
#include "sim/nav_history.h"
#include "sim/side_services.h"
#include "sim/yield_compare.h"

namespace sim {
namespace {

// Enough workers that stalled answers do not starve the others.
constexpr size_t kWorkerThreads = 32;

void Truncate(httplib::Response& response) {
  auto body = std::make_shared<std::string>(std::move(response.body));
  response.body.clear();
  std::string content_type = response.get_header_value("Content-Type");
  response.headers.erase("Content-Type");
  // The full length is announced but only half is sent; the failed provider closes the
  // connection.
  response.set_content_provider(body->size(), content_type,
                                [body](size_t offset, size_t, httplib::DataSink& sink) {
                                  if (offset == 0 && body->size() > 1)
                                    sink.write(body->data(), body->size() / 2);
                                  return false;
                                });
}

std::unique_ptr<httplib::Server> MakeServer(const PortalSimOptions& options) {
  if (options.tls_cert_file.empty() || options.tls_key_file.empty()) {
    return std::make_unique<httplib::Server>();
  }
  return std::make_unique<httplib::SSLServer>(options.tls_cert_file.c_str(),
                                              options.tls_key_file.c_str());
}

}  // namespace

PortalSim::PortalSim(PortalSimOptions options)
    : options_(std::move(options)),
      market_(options_.market),
      faults_(options_.market.seed),
      quote_options_(options_.quotes),
      server_holder_(MakeServer(options_)),
      server_(*server_holder_) {
  faults_.SetOptions(options_.faults);
  server_.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  // A client may connect and then send its request only after other work: the program's UI
  // thread runs other handlers inside a request. Wait as long as common servers do.
  server_.set_keep_alive_timeout(5);
  // Clients keep their connections; a server closing each after a handful of requests would
  // make them connect again and again.
  server_.set_keep_alive_max_count(1000);
  // Without it an answer written in two parts waits for the client's delayed acknowledgement
  // on a kept connection, some 40 ms per request.
  server_.set_tcp_nodelay(true);
  AddFundGuideRoutes(*this);
  AddFundPageRoutes(*this);
  AddHoldingsRoutes(*this);
  AddSideServiceRoutes(*this);
  AddBoardRankingRoutes(*this);
  AddFundSearchRoutes(*this);
  AddYieldCompareRoutes(*this);
  AddNavHistoryRoutes(*this);
}

PortalSim::~PortalSim() { Stop(); }

void PortalSim::Record(const httplib::Request& request) {
  RecordedRequest recorded;
  recorded.method = request.method;
  recorded.target = request.target;
  recorded.path = request.path;
  recorded.body = request.body;
  for (const auto& header : request.headers) recorded.headers.push_back(header);
  log_.Add(std::move(recorded));
}

void PortalSim::AddFallbackRoutes() {
  // Registered last, so they only see what no endpoint took; the body is read by then, which
  // it is not yet in a pre-routing handler.
  auto not_found = [this](const httplib::Request& request, httplib::Response& response) {
    Record(request);
    response.status = 404;
    response.set_content("Not Found", "text/plain; charset=utf-8");
  };
  server_.Get(".*", not_found);
  server_.Post(".*", not_found);
  server_.Put(".*", not_found);
  server_.Delete(".*", not_found);
  server_.Patch(".*", not_found);
  server_.Options(".*", not_found);
}

int PortalSim::Start(int port) {
  if (thread_.joinable()) return port_;
  if (!fallbacks_added_) {
    AddFallbackRoutes();
    fallbacks_added_ = true;
  }
  {
    std::lock_guard<std::mutex> lock(stop_mutex_);
    stopping_ = false;
  }
  if (port == 0) {
    port_ = server_.bind_to_any_port(options_.host);
  } else {
    port_ = server_.bind_to_port(options_.host, port) ? port : -1;
  }
  if (port_ <= 0) {
    port_ = -1;
    return -1;
  }
  listen_ended_ = false;
  thread_ = std::thread([this] {
    server_.listen_after_bind();
    listen_ended_ = true;
  });
  // The server ignores stop() until it runs, so Start returns only once it does.
  while (!server_.is_running() && !listen_ended_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!server_.is_running()) {
    thread_.join();
    port_ = -1;
  }
  return port_;
}

void PortalSim::Stop() {
  {
    std::lock_guard<std::mutex> lock(stop_mutex_);
    stopping_ = true;
  }
  stop_signal_.notify_all();
  if (thread_.joinable()) {
    server_.stop();
    // Connections the clients keep would hold their workers, and so the stop, until the
    // keep-alive time-out.
    AbortConnections(port_);
    thread_.join();
  }
}

std::string PortalSim::BaseUrl() const {
  const bool tls = !options_.tls_cert_file.empty() && !options_.tls_key_file.empty();
  return (tls ? "https://" : "http://") + options_.host + ":" + std::to_string(port_);
}

void PortalSim::SetQuoteOptions(const QuoteOptions& quotes) {
  std::lock_guard<std::mutex> lock(quote_mutex_);
  quote_options_ = quotes;
}

QuoteOptions PortalSim::quote_options() const {
  std::lock_guard<std::mutex> lock(quote_mutex_);
  return quote_options_;
}

void PortalSim::SetFundNav(const std::string& code, const std::string& nav_date,
                           double day_change) {
  std::lock_guard<std::mutex> lock(quote_mutex_);
  fund_navs_[code] = {nav_date, day_change};
}

Fund PortalSim::Shown(const Fund& fund) const {
  std::lock_guard<std::mutex> lock(quote_mutex_);
  Fund shown = fund;
  const auto it = fund_navs_.find(fund.code);
  if (it != fund_navs_.end()) {
    shown.nav_date = it->second.first;
    shown.growth[0] = it->second.second;
  }
  return shown;
}

bool PortalSim::Wait(int ms) {
  std::unique_lock<std::mutex> lock(stop_mutex_);
  return !stop_signal_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
}

void PortalSim::AddGet(const std::string& path, RouteHandler handler) {
  server_.Get(path, WithFaults(std::move(handler)));
}

void PortalSim::AddPost(const std::string& path, RouteHandler handler) {
  server_.Post(path, WithFaults(std::move(handler)));
}

RouteHandler PortalSim::WithFaults(RouteHandler handler) {
  return [this, handler = std::move(handler)](const httplib::Request& request,
                                              httplib::Response& response) {
    Record(request);
    const FaultDecision decision = faults_.Pick(request.target);
    if (decision.delay_ms > 0 && !Wait(decision.delay_ms)) {
      AbortConnection(port_, request.remote_addr, request.remote_port);
      return;
    }
    switch (decision.fault) {
      case Fault::kStall:
        Wait(decision.stall_ms);
        [[fallthrough]];
      case Fault::kClose:
        AbortConnection(port_, request.remote_addr, request.remote_port);
        return;
      case Fault::kError:
        if (decision.keep_body) {
          handler(request, response);
        } else {
          response.set_content("Internal Server Error", "text/html; charset=utf-8");
        }
        response.status = 500;
        return;
      default:
        break;
    }
    handler(request, response);
    if (decision.fault == Fault::kTruncate) Truncate(response);
  };
}

}  // namespace sim
