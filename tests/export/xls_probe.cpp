#include "xls_probe.h"

#include <cstdio>

namespace export_test {

nlohmann::json ProbeXls(const std::filesystem::path& file) {
  const std::string command =
      "/usr/bin/python3 '" FUNDVIEW_XLS_PROBE "' '" + file.string() + "' 2>/dev/null";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
  }
  nlohmann::json probe = nlohmann::json::parse(output, nullptr, false);
  if (probe.is_discarded()) {
    return nlohmann::json{{"failures", {"probe gave no JSON: " + output.substr(0, 200)}}};
  }
  return probe;
}

std::vector<std::vector<std::string>> Values(const nlohmann::json& probe) {
  std::vector<std::vector<std::string>> table;
  if (!probe.contains("values")) return table;
  for (const auto& row : probe["values"]) {
    table.emplace_back();
    for (const auto& v : row) table.back().push_back(v.is_string() ? v.get<std::string>() : "?");
  }
  return table;
}

std::vector<std::vector<std::string>> GridValues(const ui::Grid& grid) {
  std::vector<std::vector<std::string>> table(grid.RowCount());
  for (int r = 0; r < grid.RowCount(); ++r) {
    for (int c = 0; c < grid.ColumnCount(); ++c) table[r].push_back(grid.Text(r, c));
  }
  return table;
}

std::string FirstDifference(const std::vector<std::vector<std::string>>& want,
                            const std::vector<std::vector<std::string>>& got) {
  if (want.size() != got.size()) {
    return "rows: " + std::to_string(want.size()) + " vs " + std::to_string(got.size());
  }
  for (size_t r = 0; r < want.size(); ++r) {
    if (want[r].size() != got[r].size()) return "columns differ in row " + std::to_string(r);
    for (size_t c = 0; c < want[r].size(); ++c) {
      if (want[r][c] == got[r][c]) continue;
      size_t at = 0;
      while (at < want[r][c].size() && at < got[r][c].size() && want[r][c][at] == got[r][c][at]) {
        ++at;
      }
      return "cell " + std::to_string(r) + "," + std::to_string(c) + " (lengths " +
             std::to_string(want[r][c].size()) + " vs " + std::to_string(got[r][c].size()) +
             ") differs from byte " + std::to_string(at) + ": [" + want[r][c].substr(at, 40) +
             "] vs [" + got[r][c].substr(at, 40) + "]";
    }
  }
  return "";
}

ui::Grid FundGrid(int data_rows) {
  const char* headers[] = {"基金名称", "基金代码",  "基金类型",  "日期",     "净值",
                           "日增长率", "近1周",     "近1月",     "近3月",    "近6月",
                           "今年来",   "近一年",    "近2年",     "近3年",    "规模(亿)",
                           "基金评级", "任期回报",  "任期年限",  "标准差1",  "标准差2",
                           "标准差3",  "夏普比率1", "夏普比率2", "夏普比率3"};
  std::vector<ui::GridColumn> columns;
  for (const char* h : headers) columns.push_back({h, 60});
  return ui::Grid(columns, data_rows + 1);
}

}  // namespace export_test
