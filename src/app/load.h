#pragma once

// One way to load. A load is three steps: `fetch` runs on a worker and touches only the portal
// client and the cache, returning plain values; `apply` runs on the user-interface thread with
// those values, and only while the load's ticket is still the newest for its target. The UI
// thread never waits for the network, so no handler runs inside another's wait, and a load
// started first is never held up by a later one. A request of an overtaken load ends early
// (net::StillWantedScope) and its values reach nobody; so do those of every load once the
// program ends.
//
// A load of several steps (the pages of a list, a fund's profile pages) starts its next step
// from the apply of the one before, with the same ticket.

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "app/app.h"

namespace app {

namespace detail {
// Runs `job` on a worker under the ticket's still-wanted scope and posts what it returns.
bool RunLoad(App& app, const LoadTicket& ticket, std::function<std::function<void()>()> job,
             const std::function<void()>& dropped);
}  // namespace detail

// `dropped`, when given, runs on the UI thread instead of `apply` when the load was overtaken
// or could not start: a load that holds something for its time (a disabled button) gives it
// back there. False, with nothing fetched, when no worker can start (the program is ending).
template <class Fetch, class Apply>
bool StartLoad(App& app, const LoadTicket& ticket, Fetch fetch, Apply apply,
               const std::function<void()>& dropped = {}) {
  return detail::RunLoad(
      app, ticket,
      [fetch = std::move(fetch), apply = std::move(apply)]() mutable -> std::function<void()> {
        using Value = std::invoke_result_t<Fetch&>;
        auto value = std::make_shared<Value>(fetch());
        return [apply = std::move(apply), value]() mutable { apply(std::move(*value)); };
      },
      dropped);
}

// Starts a load the user asked for; while the target is busy it shows kBusyMessage instead and
// gives nothing.
std::optional<LoadTicket> StartLoadOrRefuse(App& app, LoadTarget target);

}  // namespace app
