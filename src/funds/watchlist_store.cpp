#include "funds/watchlist_store.h"

#include "base/text.h"

namespace funds {

namespace {

constexpr const char* kSection = "自选数据";
constexpr const char* kKey = "自选";

std::vector<std::string> SplitFields(std::string_view record) {
  std::vector<std::string> fields(1);
  for (char c : record) {
    if (c == '/') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace

std::vector<std::string> WatchlistRecordColumns(std::string_view record) {
  std::vector<std::string> fields = SplitFields(record);
  if (fields.size() <= 3) return fields;
  std::string name = fields[1];
  for (size_t i = 2; i + 1 < fields.size(); ++i) name += "/" + fields[i];
  return {fields.front(), name, fields.back()};
}

std::vector<std::vector<std::string>> ReadWatchlist(const app::ConfigFile& config) {
  std::vector<std::vector<std::string>> entries;
  const std::string stored = config.Read(kSection, kKey);
  if (stored.empty()) return entries;
  for (const std::string& record : base::Split(stored, "|")) {
    entries.push_back(WatchlistRecordColumns(record));
  }
  return entries;
}

void WriteWatchlist(app::ConfigFile& config, const ui::ListView& list) {
  std::string value;
  for (int row = 0; row < list.RowCount(); ++row) {
    value += list.Text(row, 1) + "/" + list.Text(row, 2) + "/" + list.Text(row, 3) + "|";
  }
  config.Write(kSection, kKey, value);
}

void ClearWatchlistSection(app::ConfigFile& config) { config.DeleteSection(kSection); }

}  // namespace funds
