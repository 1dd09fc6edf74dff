#pragma once

// The board window: the portal's sector and theme boards ranked by their yield over a period,
// one button per ranking position, and a click on a board that loads its funds.

#include <functional>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "funds/funds.h"
#include "portal/board_ranking.h"

namespace funds {

// Fetches the ranking for `period` ("SYL_W", "SYL_M", "SYL_Q", "SYL_1N") on a worker, then
// writes it into the feature's boards (index 0 is position 1) and the buttons' captions and runs
// `shown`. With no board in the answer it says "板块信息加载失败，请重试" and closes the window,
// leaving `boards` empty: the window's next creation finds its title empty and loads again. When a
// newer ranking load took over (or the window was closed) meanwhile, nothing is written after the
// boards were emptied.
void LoadBoardRanking(Funds& funds, std::string_view period, std::function<void()> shown);

// Each position's button shows its board's name and yield ("银行\r\n12.35%"); the spare
// buttons are shown once they have a board.
void LabelBoardButtons(app::App& app, const Boards& boards);

// 选择板块钮: the board window, shown without waiting; the button stays disabled until a board
// or five-star list has loaded.
void OpenBoardWindow(Funds& funds);

// A click on the board at ranking `position` (1 to 120): its funds, sorted by the last three
// months. A position the last ranking did not fill does nothing.
void OpenBoardFunds(Funds& funds, int position);

// The board window's buttons, its created and destroyed events and 选择板块钮, sharing one
// ranking. Closing the window forgets the fresh click and drops a ranking still on its way.
void InstallBoardLists(Funds& funds);

}  // namespace funds
