#pragma once

// The program-wide state shared between handlers of different features; all of it belongs to the
// UI thread. A worker receives the values it needs (fund code, row) when it starts instead of
// reading them here. State that one feature alone uses lives with that feature
// (App::FeatureState).

#include <string>

namespace app {

struct Globals {
  // Board fund lists: 1 after start-up and when a board button starts a load, 0 after a
  // column-header re-sort and when the board window closes.
  int BoardFreshClick = 0;

  // The board whose funds the grid shows (the ranking itself belongs to the board window).
  std::string CurrentBoardName;

  // Which list the grid shows, for the column-header re-sort: 1 the five-star funds, 0 a board's.
  int FiveStarShown = 0;

  // The holdings grid whose stock the stock menu adds to the watchlist: 1 for 高级表格5.
  int WatchlistMenuSource = 0;
};

}  // namespace app
