// Reads arbitrary bytes as a text table to import, then recognises its layout and reads its
// rows. Whatever comes back must be sound: rows in the order of their lines, no empty row and
// no empty last cell, every cell well-formed UTF-8, the cells within their limit; every data
// row either a reason naming its line or an import row with a key and figures the ledger can
// hold.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "import_checks.h"
#include "ledger_import/text_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto table = ledger_import::ReadTextTable(input);
  if (const auto* read = std::get_if<ledger_import::Table>(&table)) import_fuzz::CheckRows(*read);
  return 0;
}
