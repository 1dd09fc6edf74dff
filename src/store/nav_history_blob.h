#pragma once

// The compact form the cache keeps a fund's NAV history in: a version byte, the fund's texts,
// then per point the day, unit NAV and accumulated NAV as differences from the point before in
// variable-length integers, and the rest only where present. Twenty years (some 4,900 points)
// take some 40 KB and read back in well under a millisecond.

#include <optional>
#include <string>
#include <string_view>

#include "base/nav_history.h"

namespace store {

std::string EncodeNavHistory(const base::NavHistory& history);
// Nothing for bytes that are not a whole history of this form (another version, cut short,
// days out of order or out of range, a NAV of 0 or below).
std::optional<base::NavHistory> DecodeNavHistory(std::string_view bytes);

}  // namespace store
