// portal-sim: serves the simulated fund-data portal until interrupted.

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/server.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: portal-sim [--port N] [--host ADDR] [--funds N] [--boards N] [--seed S]\n"
               "                  [--as-of YYYY-MM-DD] [--latency-ms N] [--latency-rate R]\n"
               "                  [--fail-rate R] [--truncate-rate R] [--close-rate R]\n"
               "                  [--stall-rate R] [--stall-ms N] [--list-page-size N]\n"
               "                  [--fund-nav CODE,YYYY-MM-DD,DAY-CHANGE-PERCENT]\n"
               "                  [--history-years N]\n"
               "rates are shares of requests between 0 and 1\n");
}

bool ReadOptions(int argc, char** argv, int* port, sim::PortalSimOptions* options,
                 std::vector<std::string>* fund_navs) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--help" || name == "-h" || i + 1 >= argc) return false;
    const char* value = argv[++i];
    sim::FaultOptions& faults = options->faults;
    if (name == "--port")
      *port = std::atoi(value);
    else if (name == "--host")
      options->host = value;
    else if (name == "--funds")
      options->market.funds = std::atoi(value);
    else if (name == "--boards")
      options->market.boards = std::atoi(value);
    else if (name == "--seed")
      options->market.seed = std::strtoull(value, nullptr, 10);
    else if (name == "--as-of")
      options->market.as_of = value;
    else if (name == "--latency-ms")
      faults.latency_ms = std::atoi(value);
    else if (name == "--latency-rate")
      faults.latency_rate = std::atof(value);
    else if (name == "--fail-rate")
      faults.error_rate = std::atof(value);
    else if (name == "--truncate-rate")
      faults.truncate_rate = std::atof(value);
    else if (name == "--close-rate")
      faults.close_rate = std::atof(value);
    else if (name == "--stall-rate")
      faults.stall_rate = std::atof(value);
    else if (name == "--stall-ms")
      faults.stall_ms = std::atoi(value);
    else if (name == "--list-page-size")
      options->list_page_size = std::atoi(value);
    else if (name == "--history-years")
      options->market.history_years = std::atoi(value);
    else if (name == "--fund-nav")
      fund_navs->push_back(value);
    else
      return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int port = 18080;
  sim::PortalSimOptions options;
  std::vector<std::string> fund_navs;
  if (!ReadOptions(argc, argv, &port, &options, &fund_navs)) {
    Usage();
    return 2;
  }
  // Block the stop signals before any thread starts so that only sigwait below sees them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  sim::PortalSim portal(options);
  for (const std::string& nav : fund_navs) {
    const size_t first = nav.find(',');
    const size_t second = first == std::string::npos ? first : nav.find(',', first + 1);
    if (second == std::string::npos) {
      Usage();
      return 2;
    }
    portal.SetFundNav(nav.substr(0, first), nav.substr(first + 1, second - first - 1),
                      std::atof(nav.c_str() + second + 1));
  }
  if (portal.Start(port) < 0) {
    std::fprintf(stderr, "portal-sim: cannot listen on %s:%d\n", options.host.c_str(), port);
    return 1;
  }
  std::printf("portal-sim: %d funds, %d boards, serving %s\n",
              static_cast<int>(portal.market().funds().size()),
              static_cast<int>(portal.market().boards().size()), portal.BaseUrl().c_str());
  std::fflush(stdout);
  int received = 0;
  sigwait(&signals, &received);
  portal.Stop();
  return 0;
}
