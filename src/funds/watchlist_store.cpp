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

std::vector<WatchlistItem> ReadWatchlist(const app::ConfigFile& config) {
  std::vector<WatchlistItem> items;
  const std::string stored = config.Read(kSection, kKey);
  if (stored.empty()) return items;
  for (const std::string& record : base::Split(stored, "|")) {
    std::vector<std::string> columns = WatchlistRecordColumns(record);
    columns.resize(3);
    items.push_back({std::move(columns[0]), std::move(columns[1]), std::move(columns[2])});
  }
  return items;
}

namespace {

std::string StoredForm(const std::vector<WatchlistItem>& items) {
  std::string value;
  for (const WatchlistItem& item : items) {
    value += item.code + "/" + item.name + "/" + item.type + "|";
  }
  return value;
}

}  // namespace

bool StoreWatchlist(app::ConfigFile& config, const std::vector<WatchlistItem>& items) {
  const std::string value = StoredForm(items);
  const app::ConfigFile::KeyValue pair[] = {{kKey, value}};
  return config.ReplaceSection(kSection, pair);
}

bool WriteWatchlistKey(app::ConfigFile& config, const std::vector<WatchlistItem>& items) {
  return config.Write(kSection, kKey, StoredForm(items));
}

}  // namespace funds
