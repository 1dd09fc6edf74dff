#pragma once

// The simulated fund-data portal: an HTTP server on loopback that answers the portal's
// endpoints from a synthetic market, records every request and injects faults on demand.
//
// Endpoints (all on one host, which stands for every portal base URL):
//   GET /data/FundGuideapi.aspx            fund lists (fund_guide.h)
//   GET /<code>.html                       a fund's main page (fund_pages.h)
//   GET /jbgk_<code>.html                  overview with the fund's size
//   GET /jjjl_<code>.html                  manager table
//   GET /tsdata_<code>.html                risk statistics
//   GET /F10/JJPJ/?callback=&fundcode=     rating history (JSONP; needs the Referer)
//   GET /FundArchivesDatas.aspx?type=jjcc&code=&topline=   holdings archive (holdings.h)
//   GET /api/qt/ulist.np/get?cb=&secids=   stock quotes (JSONP; order: SetQuoteOptions)
//   GET /gdhs/detail/<code>.html           a stock's shareholder counts
//   GET /ztjj/GetZTJJList?callback=&st=    board ranking (JSONP; needs the Referer)
//   GET /FundSearch/api/FundSearchAPI.ashx?callback=&key=   fund search (JSONP)
//   GET /FundCompare/LJSYL?bzdm=&c=        cumulative yields of one or two funds (yield_compare.h)
//   GET /pingzhongdata/<code>.js?v=        a fund's whole NAV history (nav_history.h)
// Fund page paths may end in a blank (" " or "%20"). What the pages say about each fund is in
// fund_detail.h, which also lists the funds with special cases.

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "sim/faults.h"
#include "sim/holdings.h"
#include "sim/market.h"
#include "sim/request_log.h"

namespace sim {

struct PortalSimOptions {
  MarketOptions market;
  FaultOptions faults;
  QuoteOptions quotes;
  std::string host = "127.0.0.1";
  // Records a list page holds, whatever the request asks for (0: as asked). A portal may page
  // its lists more finely than it is asked to.
  int list_page_size = 0;
  // PEM files of a certificate and its key (sim/test_certificate.h makes a pair); when both are
  // given the portal speaks HTTPS.
  std::string tls_cert_file{};
  std::string tls_key_file{};
};

using RouteHandler = std::function<void(const httplib::Request&, httplib::Response&)>;

class PortalSim {
 public:
  explicit PortalSim(PortalSimOptions options = {});
  ~PortalSim();
  PortalSim(const PortalSim&) = delete;
  PortalSim& operator=(const PortalSim&) = delete;

  // Starts serving on `port` (0: any free port). Returns the port, or -1 when it cannot bind.
  int Start(int port = 0);
  // Stops serving; stalled and delayed answers end at once.
  void Stop();

  int port() const { return port_; }
  // "http://host:port" (https with TLS), no trailing "/".
  std::string BaseUrl() const;
  const Market& market() const { return market_; }
  const PortalSimOptions& options() const { return options_; }
  RequestLog& requests() { return log_; }
  void SetFaults(const FaultOptions& faults) { faults_.SetOptions(faults); }
  // The quote service's answer order from the next request on.
  void SetQuoteOptions(const QuoteOptions& quotes);
  QuoteOptions quote_options() const;
  // The NAV date and day change (in percent) the main page of fund `code` shows from the next
  // request on, in place of the market's: a new trading day as tests and the demo need it.
  void SetFundNav(const std::string& code, const std::string& nav_date, double day_change);
  // `fund` as its main page shows it now.
  Fund Shown(const Fund& fund) const;

  // Adds an endpoint: `path` is a regular expression over the whole decoded path (a plain path
  // matches itself), and its groups reach the handler as request.matches. Its requests are
  // recorded and its answers go through the fault injection. Call before the first Start;
  // other paths are recorded and answered 404.
  void AddGet(const std::string& path, RouteHandler handler);
  void AddPost(const std::string& path, RouteHandler handler);

 private:
  RouteHandler WithFaults(RouteHandler handler);
  void Record(const httplib::Request& request);
  void AddFallbackRoutes();
  // Waits up to `ms` or until Stop; returns false when stopped.
  bool Wait(int ms);

  PortalSimOptions options_;
  Market market_;
  RequestLog log_;
  FaultPicker faults_;
  mutable std::mutex quote_mutex_;
  QuoteOptions quote_options_;
  std::map<std::string, std::pair<std::string, double>> fund_navs_;
  std::unique_ptr<httplib::Server> server_holder_;
  httplib::Server& server_;
  std::thread thread_;
  int port_ = -1;
  bool fallbacks_added_ = false;
  std::atomic<bool> listen_ended_{false};
  std::mutex stop_mutex_;
  std::condition_variable stop_signal_;
  bool stopping_ = false;
};

}  // namespace sim
