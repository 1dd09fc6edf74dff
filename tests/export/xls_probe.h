#pragma once

// Runs xls_probe.py (xlrd plus an independent record walk) on a workbook file and hands back
// what it read.

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ui/grid.h"

namespace export_test {

// The probe's JSON; on a crash of the probe itself, an object with "failures" saying so.
nlohmann::json ProbeXls(const std::filesystem::path& file);

// The probe's values as a table of texts, for comparing with the grid.
std::vector<std::vector<std::string>> Values(const nlohmann::json& probe);
std::vector<std::vector<std::string>> GridValues(const ui::Grid& grid);

// Empty when both tables are equal; otherwise where they first differ, with both texts cut
// short, so that a failure stays readable with huge cells.
std::string FirstDifference(const std::vector<std::vector<std::string>>& want,
                            const std::vector<std::vector<std::string>>& got);

// A grid with the fund grid's 24 headers and `data_rows` empty data rows.
ui::Grid FundGrid(int data_rows);

}  // namespace export_test
