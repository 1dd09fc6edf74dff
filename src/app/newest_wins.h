#pragma once

// Newest wins. The UI thread runs other handlers while a request waits, so a user can start a
// second load of the same target before the first one's answer is back. Every target has a
// generation: a load takes it when it starts, and whatever resets or refills the target moves
// it on. A load whose generation has moved on writes nothing more (no cells, captions, titles,
// settings keys or globals), so what the user sees and what the next start restores come from
// the newest load.
//
// How a loader uses it: take a ticket with Start (or StartLoadOrRefuse for a load the user
// asked for), and after every fetch returns check IsCurrent(ticket) before writing; when it is
// false, return at once. A load that writes into a target without refilling it (the detail
// columns of one fund row) holds Current(target) and stops when that moves on. A worker checks
// the tickets it was given at start, and again on the UI thread inside the work it posts.

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

namespace app {

class App;

enum class LoadTarget {
  kFundGrid,         // 高级表格1 refilled: ranking, five-star, board, full lists, fund summary
  kFundDetail,       // the detail columns of the fund the user looks at
  kSearchList,       // 超级列表框1: search results
  kComparisonChart,  // 画板1: the yield comparison
  kHoldingsGrid,     // the top-ten holdings grids
  kBoardWindow,      // the board ranking window
  kPositions,        // the positions window's refresh
};
inline constexpr int kLoadTargetCount = 7;

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

 private:
  std::array<std::atomic<std::uint64_t>, kLoadTargetCount> generations_{};
  std::array<std::atomic<bool>, kLoadTargetCount> busy_{};
};

// The refusal a user sees when a load would reset a target that a long job holds.
inline constexpr const char* kBusyMessage = "数据加载中，请稍后再试";

// Starts a load the user asked for; while the target is busy it shows kBusyMessage instead and
// gives nothing.
std::optional<LoadTicket> StartLoadOrRefuse(App& app, LoadTarget target);

}  // namespace app
