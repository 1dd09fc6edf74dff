#pragma once

// What the import fuzz targets ask of a table they read: rows in the order of their lines, no
// empty row and no empty last cell, every cell well-formed UTF-8, the cells within their limit;
// every data row either a reason naming its line or an import row with a key and figures the
// ledger can hold. A breach stops the run.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "base/encoding.h"
#include "base/nav_history.h"
#include "ledger_import/layout.h"
#include "ledger_import/rows.h"
#include "positions/ledger.h"

namespace import_fuzz {

inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

inline void CheckFigure(const std::optional<std::int64_t>& value, std::int64_t limit) {
  Check(!value || (*value >= 0 && *value < limit));
}

inline void CheckRows(const ledger_import::Table& table) {
  int line = 0;
  std::size_t cells = 0;
  for (const ledger_import::SourceRow& row : table.rows) {
    Check(row.line > line);
    line = row.line;
    Check(!row.cells.empty() && !row.cells.back().empty());
    for (const std::string& cell : row.cells) Check(base::IsValidUtf8(cell));
    cells += row.cells.size();
  }
  Check(cells <= ledger_import::kMaxCells);
  const ledger_import::Layout layout = ledger_import::Recognize(table);
  Check(layout.first <= layout.end && layout.end <= table.rows.size());
  for (const auto& read : ledger_import::ReadRows(table, layout, "文件.csv")) {
    if (const auto* reason = std::get_if<std::string>(&read)) {
      Check(reason->starts_with("第"));
      continue;
    }
    const auto& row = std::get<ledger_import::ImportRow>(read);
    Check(!row.key.empty());
    for (const std::string* day : {&row.day, &row.end_day, &row.made_through}) {
      Check(day->empty() || base::DayNumber(*day).has_value());
    }
    Check(row.code.empty() || row.code.size() == 6);
    Check(!row.code.empty() || !row.name.empty());
    CheckFigure(row.amount, positions::kMoneyLimit);
    CheckFigure(row.shares, positions::kShareLimit);
    CheckFigure(row.nav, positions::kPriceLimit);
    CheckFigure(row.cost_price, positions::kPriceLimit);
    CheckFigure(row.fee, positions::kMoneyLimit);
  }
}

}  // namespace import_fuzz
