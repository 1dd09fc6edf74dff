// A fund's main page and its holdings answers on hostile input: the cuts never crash, a page
// without its marks gives nothing marked, and no more holdings than the grid has rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "portal/fund_page.h"
#include "portal/holdings.h"

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  portal::CutFundSummary(input);
  // The first half as the archive, the rest as the quotes' answer.
  const portal::HoldingsArchive archive = portal::CutHoldingsArchive(input.substr(0, size / 2));
  Check(portal::PairQuotes(input.substr(size / 2), archive).size() <=
        static_cast<size_t>(portal::kHoldingCount));
  return 0;
}
