#pragma once

// A fund's top-ten holdings: the shares from the holdings archive on PORTAL_F10, the stocks'
// codes and names from the quote service on PORTAL_PUSH (each a few KB); and a stock's
// shareholder-count page on PORTAL_DATA, which the page panel shows.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

inline constexpr std::size_t kHoldingsArchiveMaxBytes = 2u << 20;
inline constexpr std::size_t kStockQuotesMaxBytes = 1u << 20;
inline constexpr std::string_view kStockQuotesCallback = "jQuery18306105309008007134_1628074711632";
std::string HoldingsArchiveUrl(const net::PortalUrls& urls, std::string_view code);
// `secids` is the comma-separated identifier list without a final comma.
std::string StockQuotesUrl(const net::PortalUrls& urls, std::string_view secids);
std::string ShareholderPageUrl(const net::PortalUrls& urls, std::string_view stock_code);

inline constexpr int kHoldingCount = 10;

struct Holding {
  std::string name;
  std::string code;
  std::string share;  // of the fund's net assets, as the archive writes it ("9.87%")
};

// What the archive lists: each holding's share and quote identifier ("1.600519"), in the same
// order.
struct HoldingsArchive {
  std::vector<std::string> shares;
  std::vector<std::string> identifiers;
};
HoldingsArchive CutHoldingsArchive(std::string_view archive);

// The quote records of the answer (at most ten), each with the share of the holding whose
// identifier carries its code, so an answer in another order or with a stock missing still
// puts every share beside its own stock.
std::vector<Holding> PairQuotes(std::string_view quotes, const HoldingsArchive& archive);

// Both requests for fund `code` under `control`; the quotes are asked for even when the archive
// failed. Any thread. Nothing when either request failed (net::AnswerArrived) or its answer
// lacks its marks (the archive its hidden identifier list, the quotes their callback), so that a
// caller can tell a failed load from a fund that holds no stocks.
std::optional<std::vector<Holding>> FetchTopHoldings(const net::PortalUrls& urls,
                                                     std::string_view code,
                                                     net::TransferControl* control);

}  // namespace portal
