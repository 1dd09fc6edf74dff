#pragma once

// The funds the detail views are about: the one the user looks at and the one held for
// comparison, which are also the yield chart's two slots. Owned by the program beside its App
// and handed to the handlers that change or read them.

#include <string>

namespace funds {

struct FundDetail {
  // The fund whose profile columns, holdings and chart the user sees; empty once it was moved
  // into the comparison slot.
  std::string current_code;
  // The fund in row 1 of 高级表格2; empty when none is held.
  std::string compared_code;
};

}  // namespace funds
