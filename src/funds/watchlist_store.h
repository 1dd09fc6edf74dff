#pragma once

// The watchlist's stored form: section 自选数据, key 自选, one "code/name/type|" per entry. The
// menus write it and the start-up refill reads it, both through here.

#include <string>
#include <string_view>
#include <vector>

#include "app/config_file.h"
#include "ui/list_view.h"

namespace funds {

// Columns 1-3 (code, name, type) of one stored entry. Every "/" separates, so a trailing "/"
// leaves an empty last field; with more than three fields the middle ones are the name, which
// held the "/" themselves. Fewer than three fields give only those.
std::vector<std::string> WatchlistRecordColumns(std::string_view record);

// The stored entries, each as its columns; none when nothing is stored.
std::vector<std::vector<std::string>> ReadWatchlist(const app::ConfigFile& config);

// Stores columns 1-3 of every row of `list`.
void WriteWatchlist(app::ConfigFile& config, const ui::ListView& list);

// Empties the section, so that the key written next is its only one.
void ClearWatchlistSection(app::ConfigFile& config);

}  // namespace funds
