#include "funds/download_resume.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "base/encoding.h"
#include "base/text.h"

namespace funds {

namespace {

// Its value: the day, a blank, the count of incomplete funds.
constexpr std::string_view kDownloadEndMark = "full_download_end";

}  // namespace

std::string CalendarDay(const base::DateTime& when) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", when.year % 10000, when.month % 100,
                when.day % 100);
  return text;
}

std::string EncodeProfileColumns(const ProfileColumns& columns) {
  nlohmann::json array = nlohmann::json::array();
  for (const std::string& text : columns) {
    if (!base::IsValidUtf8(text)) return {};
    array.push_back(text);
  }
  return array.dump();
}

std::optional<ProfileColumns> DecodeProfileColumns(std::string_view payload) {
  const nlohmann::json array =
      nlohmann::json::parse(payload.begin(), payload.end(), nullptr, false);
  if (!array.is_array() || array.size() != kProfileColumnCount) return std::nullopt;
  ProfileColumns columns;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (!array[i].is_string()) return std::nullopt;
    columns[i] = array[i].get<std::string>();
  }
  return columns;
}

bool KeepProfileColumns(store::Cache& cache, std::string_view day, std::string_view code,
                        const ProfileColumns& columns) {
  const std::string payload = EncodeProfileColumns(columns);
  return !payload.empty() && !code.empty() && cache.SaveDetails(day, code, payload);
}

void MarkDownloadEnd(store::Cache& cache, std::string_view day, int incomplete) {
  cache.SetMark(kDownloadEndMark, std::string(day) + " " + base::IntToText(incomplete));
}

bool LastDownloadIncomplete(store::Cache& cache, std::string_view day) {
  const std::optional<std::string> mark = cache.Mark(kDownloadEndMark);
  const std::string prefix = std::string(day) + " ";
  if (!mark || mark->rfind(prefix, 0) != 0) return false;
  return base::ToNumber(std::string_view(*mark).substr(prefix.size())) > 0;
}

}  // namespace funds
