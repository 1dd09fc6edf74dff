#include "app/newest_wins.h"

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

void LoadGenerations::MarkLoading(const LoadTicket& ticket) {
  loading_[Index(ticket.target)] = ticket.generation;
}

void LoadGenerations::MarkLoaded(const LoadTicket& ticket) {
  if (loading_[Index(ticket.target)] == ticket.generation) loading_[Index(ticket.target)] = 0;
}

bool LoadGenerations::Loading(LoadTarget target) const {
  const std::uint64_t loading = loading_[Index(target)].load();
  return loading != 0 && loading == generations_[Index(target)].load();
}

}  // namespace app
