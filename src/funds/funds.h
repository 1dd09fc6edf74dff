#pragma once

// The fund browsing feature: the ranking, five-star and board lists, the board window, search,
// a fund's detail (summary, profile columns, holdings, comparison, the shareholder page), the
// watchlist and the full download. One object, made by the shell over the App, owns what their
// handlers share; the module's functions that need it take it.

#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "app/app.h"
#include "funds/fund_detail.h"
#include "funds/watchlist_store.h"
#include "portal/board_ranking.h"
#include "ui/grid.h"

namespace funds {

// Stored answers shown in place of failed requests: when the oldest of them arrived, as the
// program shows a time and as a sortable stamp; a stamp of 0 when everything shown is fresh.
struct OfflineSince {
  std::int64_t stamp = 0;
  std::string arrived;
};

// What the main window's title notes as shown from stored answers: the list in the fund grid
// and the detail of a fund in it, both only while the grid holds the fill of `grid`, and the
// board ranking.
struct OfflineNotes {
  OfflineSince list;
  OfflineSince detail;
  app::LoadTicket grid;
  OfflineSince boards;
};

// What the column-header re-sort remembers: the direction it asks for next (1: smallest first),
// flipped by every re-sort whichever list it concerns, and the board number of the list shown.
struct ResortState {
  int toggle = 0;
  long long board_code = 0;
};

// The paged lists' state.
struct FundListState {
  // Board fund lists: 1 after start-up and when a board button starts a load, 0 after a
  // column-header re-sort and when the board window closes.
  int BoardFreshClick = 0;
  // The board whose funds the grid shows.
  std::string CurrentBoardName;
  // Which list the grid shows, for the column-header re-sort: 1 the five-star funds, 0 a
  // board's.
  int FiveStarShown = 0;
  ResortState resort;
};

using Boards = std::vector<portal::Board>;
// Redraws the yield comparison for the comparison slots as they are now. The shell binds it to
// the program's chart when it installs the feature.
using ChartRefresh = std::function<void()>;

class Funds {
 public:
  explicit Funds(app::App& app) : app_(app) {}
  Funds(const Funds&) = delete;
  Funds& operator=(const Funds&) = delete;

  // Binds the controls of every part of the feature and adds its start-up steps: the board
  // list counts as freshly clicked, old cache entries are pruned on a worker, the ranking chosen
  // last is loaded (its fetch waits for the prune), the watchlist refilled and the download
  // guard file seeded.
  void Install(const ChartRefresh& refresh_chart);

  app::App& app() { return app_; }
  FundDetail& detail() { return detail_; }
  OfflineNotes& notes() { return notes_; }
  FundListState& lists() { return lists_; }
  // The ranking the board window shows, kept until the next ranking load.
  Boards& boards() { return boards_; }
  // The watchlist's entries in list order; 超级列表框2 draws them, row for row.
  std::vector<WatchlistItem>& watchlist() { return watchlist_; }
  // The holdings grid whose stock the stock menu adds to the watchlist: the one last
  // right-clicked.
  const ui::Grid*& stock_menu_source() { return stock_menu_source_; }
  // Ready once the start-up prune of the cache is done; no future before the start-up step ran.
  const std::shared_future<void>& cache_pruned() const { return cache_pruned_; }

 private:
  app::App& app_;
  FundDetail detail_;
  OfflineNotes notes_;
  FundListState lists_;
  Boards boards_;
  std::vector<WatchlistItem> watchlist_;
  const ui::Grid* stock_menu_source_ = nullptr;
  std::shared_future<void> cache_pruned_;
};

}  // namespace funds
