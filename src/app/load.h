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
// from the apply of the one before, with the same ticket. A load of many like things (every
// fund of a list, every held fund) fans out with LoadEach.

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

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

// What an item's apply gives when the item is to be asked again: after `after`, `item` (which may
// carry what the earlier tries brought in) takes a free place like any other.
template <class Item>
struct EachRetry {
  std::chrono::milliseconds after{0};
  Item item;
};

namespace detail {

// One fan-out as the UI thread sees it. An item's end is counted on the UI thread, which starts
// the next item at once, so a free place never waits; a retry waits on the timer, then goes
// ahead of the items not yet started.
template <class Item, class Fetch, class Apply>
class FanOut : public std::enable_shared_from_this<FanOut<Item, Fetch, Apply>> {
 public:
  using Value = std::invoke_result_t<const Fetch&, const Item&>;

  FanOut(App& app, const LoadTicket& ticket, std::function<std::optional<Item>()> next, int at_once,
         Fetch fetch, Apply apply, std::function<void(bool)> done)
      : app_(app),
        ticket_(ticket),
        next_(std::move(next)),
        at_once_(at_once < 1 ? 1 : at_once),
        fetch_(std::make_shared<const Fetch>(std::move(fetch))),
        apply_(std::move(apply)),
        done_(std::move(done)) {
    app_.loads().BeginWork();
  }

  void Pump() {
    if (over_) return;
    if (!app_.loads().IsCurrent(ticket_) || app_.workers().Stopping()) {
      End(false);
      return;
    }
    while (running_ < at_once_) {
      std::optional<Item> item;
      if (!due_.empty()) {
        item = std::move(due_.front());
        due_.pop_front();
      } else if (!exhausted_) {
        item = next_();
        exhausted_ = !item.has_value();
      }
      if (!item) break;
      Launch(std::move(*item));
      if (over_) return;
    }
    if (running_ == 0 && waiting_ == 0 && due_.empty() && exhausted_) End(true);
  }

 private:
  void Launch(Item item) {
    ++running_;
    auto self = this->shared_from_this();
    auto held = std::make_shared<const Item>(std::move(item));
    StartLoad(
        app_, ticket_, [fetch = fetch_, held] { return (*fetch)(*held); },
        [self, held](Value value) {
          --self->running_;
          self->Applied(*held, std::move(value));
        },
        [self] {
          --self->running_;
          self->End(false);
        });
  }

  void Applied(const Item& item, Value value) {
    if constexpr (std::is_void_v<std::invoke_result_t<Apply&, const Item&, Value>>) {
      apply_(item, std::move(value));
    } else {
      std::optional<EachRetry<Item>> retry = apply_(item, std::move(value));
      if (retry) {
        ++waiting_;
        auto self = this->shared_from_this();
        app_.ui().PostAfter(retry->after, [self, again = std::move(retry->item)]() mutable {
          --self->waiting_;
          self->due_.push_back(std::move(again));
          self->Pump();
        });
      }
    }
    Pump();
  }

  void End(bool completed) {
    if (over_) return;
    over_ = true;
    app_.loads().EndWork();
    if (done_) done_(completed);
  }

  App& app_;
  LoadTicket ticket_;
  std::function<std::optional<Item>()> next_;
  int at_once_;
  std::shared_ptr<const Fetch> fetch_;  // called on several workers at once
  Apply apply_;
  std::function<void(bool)> done_;
  std::deque<Item> due_;  // retries whose wait is over
  int running_ = 0;       // items being fetched
  int waiting_ = 0;       // retries still waiting
  bool exhausted_ = false;
  bool over_ = false;
};

}  // namespace detail

// Loads many like things under one ticket, at most `at_once` at a time: `next_item` (UI thread)
// gives the items one after the other, nothing when there are no more; `fetch_one(item)` (callable
// on several workers at once) runs on a worker as a load's fetch; `apply_one(item, value)` runs on
// the UI thread while the ticket is current and gives nothing, or an EachRetry to ask the item
// again. `done(true)` runs on the UI thread once every item has been applied; `done(false)` once
// the fan-out is overtaken or cannot go on (the program is ending): it starts nothing more and its
// applies write nothing. Counts as work in flight until `done`.
template <class Item, class Fetch, class Apply>
void LoadEachFrom(App& app, const LoadTicket& ticket,
                  std::function<std::optional<Item>()> next_item, int at_once, Fetch fetch_one,
                  Apply apply_one, std::function<void(bool completed)> done = {}) {
  auto fan_out = std::make_shared<detail::FanOut<Item, Fetch, Apply>>(
      app, ticket, std::move(next_item), at_once, std::move(fetch_one), std::move(apply_one),
      std::move(done));
  fan_out->Pump();
}

// The same over a list of items known from the start.
template <class Item, class Fetch, class Apply>
void LoadEach(App& app, const LoadTicket& ticket, std::vector<Item> items, int at_once,
              Fetch fetch_one, Apply apply_one, std::function<void(bool completed)> done = {}) {
  auto list = std::make_shared<std::vector<Item>>(std::move(items));
  auto next = std::make_shared<size_t>(0);
  LoadEachFrom<Item>(
      app, ticket,
      [list, next]() -> std::optional<Item> {
        if (*next >= list->size()) return std::nullopt;
        return (*list)[(*next)++];
      },
      at_once, std::move(fetch_one), std::move(apply_one), std::move(done));
}

// A write to a store that an apply decided on (an alert told is noted) and that must not be
// lost to a newer load: on a worker, in no load's ticket, counted as work in flight until it is
// done. Once the program is ending and no worker starts, it is written here.
void StartStoreWrite(App& app, std::function<void()> write);

// Starts a load the user asked for; while the target is busy it shows kBusyMessage instead and
// gives nothing.
std::optional<LoadTicket> StartLoadOrRefuse(App& app, LoadTarget target);

// The refusal of StartLoadOrRefuse alone, for a click that must be refused before it does
// anything else (asks a question, disables a button) and starts its load later: true, with
// kBusyMessage shown, while the target is busy, or also while a load is still filling it when
// `also_while_filling`.
bool RefuseWhileBusy(App& app, LoadTarget target, bool also_while_filling = false);

}  // namespace app
