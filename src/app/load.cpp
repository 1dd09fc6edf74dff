#include "app/load.h"

#include <memory>

#include "net/transfer_control.h"

namespace app {

namespace detail {

bool RunLoad(App& app, const LoadTicket& ticket, std::function<std::function<void()>()> job,
             const std::function<void()>& dropped) {
  LoadGenerations& loads = app.loads();
  loads.BeginWork();
  const bool started = app.workers().Start([&app, &loads, ticket, job = std::move(job), dropped] {
    std::function<void()> apply;
    if (loads.IsCurrent(ticket)) {
      const net::StillWantedScope wanted([&loads, ticket] { return loads.IsCurrent(ticket); });
      try {
        apply = job();
      } catch (...) {
        // A fetch that throws gives nothing; the load still ends.
        apply = nullptr;
      }
    }
    app.ui().Post([&loads, ticket, apply = std::move(apply), dropped] {
      if (apply && loads.IsCurrent(ticket)) {
        apply();
      } else if (dropped) {
        dropped();
      }
      loads.EndWork();
    });
  });
  if (!started) {
    if (dropped) dropped();
    loads.EndWork();
  }
  return started;
}

}  // namespace detail

void StartStoreWrite(App& app, std::function<void()> write) {
  LoadGenerations& loads = app.loads();
  loads.BeginWork();
  auto shared = std::make_shared<std::function<void()>>(std::move(write));
  const bool started = app.workers().Start([&app, &loads, shared] {
    try {
      (*shared)();
    } catch (...) {
      // A write that throws has failed; the work still ends.
    }
    app.ui().Post([&loads] { loads.EndWork(); });
  });
  if (!started) {
    (*shared)();
    loads.EndWork();
  }
}

bool RefuseWhileBusy(App& app, LoadTarget target, bool also_while_filling) {
  if (!app.loads().Busy(target) && !(also_while_filling && app.loads().Loading(target))) {
    return false;
  }
  app.dialogs().MessageBox(kBusyMessage);
  return true;
}

std::optional<LoadTicket> StartLoadOrRefuse(App& app, LoadTarget target) {
  if (RefuseWhileBusy(app, target)) return std::nullopt;
  return app.loads().Start(target);
}

}  // namespace app
