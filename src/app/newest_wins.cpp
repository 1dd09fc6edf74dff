#include "app/newest_wins.h"

#include "app/app.h"

namespace app {

namespace {
int Index(LoadTarget target) { return static_cast<int>(target); }
}  // namespace

LoadTicket LoadGenerations::Start(LoadTarget target) {
  return {target, generations_[Index(target)].fetch_add(1) + 1};
}

void LoadGenerations::Invalidate(LoadTarget target) { generations_[Index(target)].fetch_add(1); }

LoadTicket LoadGenerations::Current(LoadTarget target) const {
  return {target, generations_[Index(target)].load()};
}

bool LoadGenerations::IsCurrent(const LoadTicket& ticket) const {
  return generations_[Index(ticket.target)].load() == ticket.generation;
}

void LoadGenerations::SetBusy(LoadTarget target, bool busy) { busy_[Index(target)] = busy; }

bool LoadGenerations::Busy(LoadTarget target) const { return busy_[Index(target)].load(); }

std::optional<LoadTicket> StartLoadOrRefuse(App& app, LoadTarget target) {
  if (app.loads().Busy(target)) {
    app.dialogs().MessageBox(kBusyMessage);
    return std::nullopt;
  }
  return app.loads().Start(target);
}

}  // namespace app
