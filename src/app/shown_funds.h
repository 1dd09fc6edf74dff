#pragma once

// The funds the fund grid 高级表格1 shows, row by row, as the fund lists wrote them: what the
// full download, the profile loads, the risk window, the positions and the alerts ask about a
// row instead of reading its cells. The fund lists alone write it.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/newest_wins.h"

namespace app {

// One fund as a row shows it.
struct FundRef {
  std::string code;
  std::string name;
};

// Tied to the fill of the grid it describes (a load of LoadTarget::kFundGrid): once the grid is
// refilled or reset, the rows of the older fill are gone. UI thread.
class ShownFunds {
 public:
  // Row `row` (from 1) of the fill `fill` shows `fund`; a newer fill than the one held starts
  // an empty list.
  void Write(const LoadTicket& fill, int row, FundRef fund) {
    if (fill.generation != fill_.generation || fill.target != fill_.target) {
      fill_ = fill;
      rows_.clear();
    }
    if (row < 1) return;
    if (rows_.size() < static_cast<size_t>(row)) rows_.resize(static_cast<size_t>(row));
    rows_[static_cast<size_t>(row) - 1] = std::move(fund);
  }

  // The fund of `row` while the fill that wrote it is the grid's; nothing for a row no list
  // wrote.
  std::optional<FundRef> At(const LoadGenerations& loads, int row) const {
    if (!loads.IsCurrent(fill_) || row < 1 || static_cast<size_t>(row) > rows_.size()) {
      return std::nullopt;
    }
    return rows_[static_cast<size_t>(row) - 1];
  }
  // The code of `row`; empty for a row no list wrote.
  std::string CodeAt(const LoadGenerations& loads, int row) const {
    std::optional<FundRef> fund = At(loads, row);
    return fund ? fund->code : std::string();
  }

  // The name of the first row that shows `code` with a name.
  std::optional<std::string> NameOf(const LoadGenerations& loads, std::string_view code) const {
    if (!loads.IsCurrent(fill_)) return std::nullopt;
    for (const std::optional<FundRef>& fund : rows_) {
      if (fund && fund->code == code && !fund->name.empty()) return fund->name;
    }
    return std::nullopt;
  }

 private:
  LoadTicket fill_;
  std::vector<std::optional<FundRef>> rows_;
};

}  // namespace app
