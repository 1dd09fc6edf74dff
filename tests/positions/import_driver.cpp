// Imports the rows of FILE into the ledger at LEDGER as the preview's confirm does, every row
// with its key in one transaction. The test that runs it as a child process kills it at random
// moments. Exit code 0 when the rows were written, 1 when not, 2 on bad arguments.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "ledger_import/layout.h"
#include "ledger_import/rows.h"
#include "positions/import.h"
#include "positions/positions_store.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: import_driver LEDGER FILE\n");
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const ledger_import::TableOrError table = positions::ReadImportTable(bytes.str());
  if (!std::holds_alternative<ledger_import::Table>(table)) return 2;
  const auto& rows = std::get<ledger_import::Table>(table);
  const std::vector<ledger_import::RowOrReason> read =
      ledger_import::ReadRows(rows, ledger_import::Recognize(rows), "import.csv");
  std::vector<positions::ImportItem> items;
  for (const ledger_import::RowOrReason& row : read) {
    if (const auto* import_row = std::get_if<ledger_import::ImportRow>(&row)) {
      auto item = positions::ItemOf(*import_row, {});
      if (auto* ready = std::get_if<positions::ImportItem>(&item)) items.push_back(*ready);
    }
  }
  positions::PositionsStore store(argv[1]);
  return store.Import(items).written ? 0 : 1;
}
