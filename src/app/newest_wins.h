#pragma once

// Newest wins. Loads wait on workers while the UI thread serves the user, so a user can start a
// second load of the same target before the first one's answer is back. Every target has a
// generation: a load takes it when it starts, and whatever resets or refills the target moves
// it on. A load whose generation has moved on writes nothing more (no cells, captions, titles,
// settings keys or globals), so what the user sees and what the next start restores come from
// the newest load.
//
// How a loader uses it: take a ticket with Start (or StartLoadOrRefuse for a load the user
// asked for) and run its steps with StartLoad (load.h), whose apply runs only while the ticket
// is current. A load that writes into a target without refilling it (the detail columns of one
// fund row) holds Current(target) as well and checks it in its apply.

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

namespace app {

enum class LoadTarget {
  kFundGrid,         // 高级表格1 refilled: ranking, five-star, board, full lists, fund summary
  kFundDetail,       // the detail columns of the fund the user looks at
  kSearchList,       // 超级列表框1: search results
  kComparisonChart,  // 画板1: the yield comparison
  kHoldingsGrid,     // the top-ten holdings grids
  kBoardWindow,      // the board ranking window
  kPositions,        // the positions window's refresh
  kSideTasks,        // the forum sign-in and the step posting
  kAlerts,           // the check of the alerts
  kNavChart,         // the NAV history window's fund
  kTradeEntry,       // a trade by amount or shares waiting for its fund's history
  kLedger,           // the positions ledger settled against the kept histories
  kPlanEntry,        // a 定投 plan's change waiting for its fund's name or for its write
  kAnalysis,         // 收益分析 computed over the ledger and the kept histories
  kImport,           // a file to import read, its rows mapped and its funds searched
};
inline constexpr int kLoadTargetCount = 14;

// A load's claim on its target; it stays current until a newer load starts or the target is
// reset by someone else.
struct LoadTicket {
  LoadTarget target = LoadTarget::kFundGrid;
  std::uint64_t generation = 0;
};

// Safe to read from any thread; Start, Invalidate and the busy mark belong to the UI thread.
class LoadGenerations {
 public:
  // A new load of `target`: every older one is overtaken.
  LoadTicket Start(LoadTarget target);
  // The target was reset or refilled outside a load (every running load is overtaken).
  void Invalidate(LoadTarget target);
  // A claim on the target as it is now, without overtaking anyone.
  LoadTicket Current(LoadTarget target) const;
  bool IsCurrent(const LoadTicket& ticket) const;

  // A long job (the full download) holds its target: other loads that would reset it refuse
  // while it is marked busy.
  void SetBusy(LoadTarget target, bool busy);
  bool Busy(LoadTarget target) const;

  // A load still filling its target page by page: Loading is true from MarkLoading until
  // MarkLoaded or until a newer load of the target starts.
  void MarkLoading(const LoadTicket& ticket);
  void MarkLoaded(const LoadTicket& ticket);
  bool Loading(LoadTarget target) const;

  // Work of loads in flight: a step on a worker or on its way to the UI thread, a long job
  // between its steps. Zero when every load has ended (tests wait for that).
  void BeginWork() { in_flight_.fetch_add(1); }
  void EndWork() { in_flight_.fetch_sub(1); }
  int InFlight() const { return in_flight_.load(); }

 private:
  std::array<std::atomic<std::uint64_t>, kLoadTargetCount> generations_{};
  std::array<std::atomic<bool>, kLoadTargetCount> busy_{};
  std::array<std::atomic<std::uint64_t>, kLoadTargetCount> loading_{};
  std::atomic<int> in_flight_{0};
};

// The refusal a user sees when a load would reset a target that a long job holds.
inline constexpr const char* kBusyMessage = "数据加载中，请稍后再试";

}  // namespace app
