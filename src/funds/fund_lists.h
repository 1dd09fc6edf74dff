#pragma once

// The paged fund lists: the five-star funds and a board's funds, one page or every page, with
// the progress in the main window's title, and the column-header re-sort they share.

#include <functional>
#include <string_view>

#include "app/app.h"
#include "funds/funds.h"

namespace funds {

// The five-star funds sorted by `sort_code` in `order`; empty texts give this year's growth,
// largest first. `ended` runs on the UI thread once the list is in, overtaken or refused.
void LoadFiveStarList(Funds& funds, std::string_view sort_code, std::string_view order,
                      const std::function<void()>& ended = {});

// The funds of board `board_number` (the digits after "BK0"); a list started by a board button
// is sorted by the last three months, largest first, whatever the arguments.
void LoadBoardFunds(Funds& funds, long long board_number, std::string_view sort_code,
                    std::string_view order);

// 五星基金钮: the five-star list, with 选择板块钮 disabled meanwhile.
void OnFiveStarClicked(Funds& funds);

// A header click on column `column` of the fund grid: the list shown is reloaded sorted by that
// column's period, alternately largest and smallest first. Refused while a list loads.
void OnFundGridHeaderClicked(Funds& funds, int column);

// 五星基金钮 and the fund grid's header click.
void InstallFundLists(Funds& funds);

}  // namespace funds
