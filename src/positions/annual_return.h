#pragma once

// The money-weighted annual return (XIRR) of the ledger: the rate r at which the cash flows,
// each discounted from its day, sum to 0:  Σ CF_k / (1 + r)^((d_k - d_0) / 365) = 0, with d_0
// the earliest day. Plain values: no ui, no app.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "positions/ledger.h"

namespace positions {

struct CashFlow {
  long day = 0;          // days since 1970-01-01
  std::int64_t fen = 0;  // paid in below 0, paid out above
};

// Days since 1970-01-01 of a YYYY-MM-DD text; nothing for anything else.
std::optional<long> DayOf(const std::string& text);

// The rate as a fraction a year (0.3734 for 37.34 %), any above -100 % (as far as a double
// tells it from -100 %) and up to 10^6 %: Newton's steps from 10 %, and where they fail, the
// first sign change found on a fine scan of ln(1 + r), halved down. Nothing when the flows span
// fewer than `kMinFlowDays` days or no rate solves them.
inline constexpr long kMinFlowDays = 7;
std::optional<double> Xirr(const std::vector<CashFlow>& flows);

// The flows the records themselves make (all of them, or those of `code` when it is not
// empty): each buy's cost, each sale's proceeds, each cash dividend, a program's dividend that
// one entered by hand replaces left out. Nothing when a record has no usable day or does not fit.
std::optional<std::vector<CashFlow>> RecordFlows(const std::vector<Record>& records,
                                                 const std::string& code = "");
// `flows` with the value of every fund of `positions` still held (all, or `code`'s) at its
// quote's NAV on the quote's day. Nothing when `flows` is nothing or a held fund has no usable
// quote.
std::optional<std::vector<CashFlow>> WithValues(std::optional<std::vector<CashFlow>> flows,
                                                const std::vector<Position>& positions,
                                                const std::map<std::string, Quote>& quotes,
                                                const std::string& code = "");

}  // namespace positions
