#pragma once

// The program-wide state shared between handlers of different features. Everything here belongs
// to the UI thread except LoadThreadCount, which detail workers change, so it is atomic. A worker
// receives the values it needs (fund code, row) when it starts instead of reading them here.
// State that one feature alone uses lives with that feature.

#include <atomic>
#include <cstdint>
#include <string>

#include "app/newest_wins.h"

namespace app {

// Stored answers shown in place of failed requests: when the oldest of them arrived, as the
// program shows a time and as a sortable stamp; a stamp of 0 when everything shown is fresh.
struct OfflineSince {
  std::int64_t stamp = 0;
  std::string arrived;
};

struct Globals {
  // Board fund lists: 1 after start-up and when a board button starts a load, 0 after a
  // column-header re-sort and when the board window closes.
  int BoardFreshClick = 0;
  std::string SignInResultText;
  std::string StepResultText;

  // The board whose funds the grid shows (the ranking itself belongs to the board window).
  std::string CurrentBoardName;
  long long CurrentBoardCode = 0;  // the board number of the list shown, for the re-sort

  // Fund lists. FiveStarShown tells the column-header re-sort which list the grid shows;
  // ResortToggle flips with every re-sort, whichever list it concerns.
  int FiveStarShown = 0;
  int ResortToggle = 0;
  int AllFundsTotal = 0;
  int AllFundsPages = 0;
  std::atomic<int> LoadThreadCount{0};

  // The holdings grid whose stock the stock menu adds to the watchlist: 1 for 高级表格5.
  int WatchlistMenuSource = 0;

  // What the main window's title notes as shown from stored answers: the list in the fund grid
  // and the detail of a fund in it, both only while the grid holds the fill of OfflineGrid, and
  // the board ranking.
  OfflineSince OfflineList;
  OfflineSince OfflineDetail;
  LoadTicket OfflineGrid;
  OfflineSince OfflineBoards;
};

}  // namespace app
