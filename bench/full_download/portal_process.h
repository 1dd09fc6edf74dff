#pragma once

// The simulated portal served from a child process, so that its request log does not count
// against the measured program's memory and its threads do not stand in the way of a fork.

#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>

#include "sim/server.h"

namespace bench {

// Serves a market of `funds` funds, waiting `latency_ms` before every answer and failing
// `fail_rate` of them. The child hands its port over through a pipe and stops when the parent
// closes the returned descriptor (-1 when the child could not be started). Call it before the
// caller starts any thread.
inline int StartPortalProcess(int funds, int latency_ms, double fail_rate, int* port) {
  int port_pipe[2], stop_pipe[2];
  if (pipe(port_pipe) != 0 || pipe(stop_pipe) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(port_pipe[0]);
    close(stop_pipe[1]);
    sim::PortalSimOptions options;
    options.market.funds = funds;
    options.faults.latency_ms = latency_ms;
    options.faults.error_rate = fail_rate;
    sim::PortalSim portal(options);
    const int bound = portal.Start();
    if (write(port_pipe[1], &bound, sizeof bound) != sizeof bound) std::_Exit(1);
    char byte;
    while (read(stop_pipe[0], &byte, 1) > 0) {
    }
    portal.Stop();
    std::_Exit(0);
  }
  close(port_pipe[1]);
  close(stop_pipe[0]);
  if (read(port_pipe[0], port, sizeof *port) != sizeof *port) *port = -1;
  close(port_pipe[0]);
  return child > 0 ? stop_pipe[1] : -1;  // the parent keeps the write end open
}

}  // namespace bench
