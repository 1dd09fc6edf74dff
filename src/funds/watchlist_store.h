#pragma once

// The watchlist's stored form: section 自选数据, key 自选, one "code/name/type|" per entry. The
// menus write it and the start-up refill reads it, both through here.

#include <string>
#include <string_view>
#include <vector>

#include "app/config_file.h"

namespace funds {

// Columns 1-3 (code, name, type) of one stored entry. Every "/" separates, so a trailing "/"
// leaves an empty last field; with more than three fields the middle ones are the name, which
// held the "/" themselves. Fewer than three fields give only those.
std::vector<std::string> WatchlistRecordColumns(std::string_view record);

// One watchlist entry: a fund or a stock ("基金" or "股票").
struct WatchlistItem {
  std::string code;
  std::string name;
  std::string type;
};

// The stored entries; none when nothing is stored. A stored entry with fewer than three fields
// leaves the rest empty.
std::vector<WatchlistItem> ReadWatchlist(const app::ConfigFile& config);

// Stores `items` as the section's only key, in one replacement of the file: a kill at any moment
// leaves the old list or the new one.
bool StoreWatchlist(app::ConfigFile& config, const std::vector<WatchlistItem>& items);
// Sets only the key, leaving the section's other keys as they are.
bool WriteWatchlistKey(app::ConfigFile& config, const std::vector<WatchlistItem>& items);

}  // namespace funds
