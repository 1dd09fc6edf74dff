#pragma once

// The funds the detail views are about: the one the user looks at and the one held for
// comparison, which are also the yield chart's two slots. Owned by the program beside its App
// and handed to the handlers that change or read them.

#include <string>
#include <vector>

#include "portal/holdings.h"

namespace funds {

struct FundDetail {
  // The fund whose profile columns, holdings and chart the user sees; empty once it was moved
  // into the comparison slot.
  std::string current_code;
  // The fund in row 1 of 高级表格2; empty when none is held.
  std::string compared_code;
  // The holdings 高级表格5 and 高级表格6 show, row for row from row 1: kept where the grids
  // are written, so that what is computed from them never reads a cell.
  std::vector<portal::Holding> current_holdings;
  std::vector<portal::Holding> compared_holdings;
};

}  // namespace funds
