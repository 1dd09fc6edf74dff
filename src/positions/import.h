#pragma once

// The ledger to and from files: 导出记录 writes the records, pending trades and plans of an
// account as a text table under the export's header; 导入 takes the rows a file's layout reads
// (ledger_import) as records, pending trades and plans. Plain values, no ui: the window decides
// the fund of a row that names it only, the account and the sale fee rate.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "ledger_import/rows.h"
#include "ledger_import/table.h"
#include "positions/positions_store.h"
#include "positions/settle.h"

namespace positions {

// "持仓记录-yyyyMMdd.csv".
inline constexpr char kRecordsFilePrefix[] = "持仓记录-";
// A sale by proceeds from a bill waits with this text until it confirms: its shares are worked
// out from the fee rate the user gave.
inline constexpr char kReviewText[] = "待核对";

// The records (a split the program makes again from the fund's history left out), pending
// trades and plans of `account` (0: every account) as UTF-8 CSV with its byte-order mark under
// ledger_import::kExportHeader, records in day order, then the trades, then the plans. A pending
// trade keeps its day, 15:00 when placed after the close, its amount or shares and its fee rate;
// a plan its start in 日期, its sum per period in 金额, and how far it has made its periods.
std::string RecordsCsv(const Book& book, std::int64_t account);

// The table of a file to import: a workbook when its bytes are a zip archive, else text.
ledger_import::TableOrError ReadImportTable(std::string_view bytes);

struct ImportChoices {
  // Where rows that name no account go.
  std::int64_t account = kDefaultAccount;
  // Of a sale by proceeds, ten-thousandths of a percent.
  std::int64_t sale_fee_rate = 0;
  // Of a holding the file gives no day.
  std::string snapshot_day;
  // A plan the file does not say how far it was made makes its periods after this day.
  std::string today;
  // Fund names by code, and codes by name, as the fund search gave them.
  std::map<std::string, std::string> names;
  std::map<std::string, std::string> codes;
};

// "第n行：找不到基金「名称」".
std::string NoFundText(int line, const std::string& name);

// The row as the ledger takes it: a buy or sale with its NAV and shares, a dividend or a holding
// (one buy of its shares at its cost price) as a record; a buy by amount, a sale by shares or by
// proceeds as a pending trade; a plan; or why it cannot be taken.
std::variant<ImportItem, std::string> ItemOf(const ledger_import::ImportRow& row,
                                             const ImportChoices& choices);

}  // namespace positions
