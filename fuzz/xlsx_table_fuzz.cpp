// Reads arbitrary bytes as a workbook to import, then recognises the layout of its first sheet
// and reads its rows. Whatever comes back must be sound: rows in the order of their row numbers
// (one row per number) within a sheet's bounds, no empty row and no empty last cell, every cell
// well-formed UTF-8, the cells within their limit; every data row either a reason naming its
// line or an import row with a key and figures the ledger can hold.
//
// The first byte chooses what the rest is: even, the file itself; odd, the XML of the sheet,
// the shared strings and the styles (parted by two NUL bytes), packed here into a sound zip
// with the workbook's other parts, so that the fuzzer's changes reach the XML readers rather
// than stopping at the zip's checks.

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "import_checks.h"
#include "ledger_import/xlsx_table.h"

namespace {

constexpr char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"></Types>)";
constexpr char kRootRelationships[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
constexpr char kWorkbook[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
constexpr char kWorkbookRelationships[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)";

// A stored (uncompressed) zip of the named parts.
std::string Pack(const std::vector<std::pair<const char*, std::string_view>>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* output = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_error_fini(&error);
  if (output == nullptr) return {};
  zip_source_keep(output);
  zip_t* zip = zip_open_from_source(output, ZIP_TRUNCATE, nullptr);
  if (zip == nullptr) {
    zip_source_free(output);
    return {};
  }
  for (const auto& [name, bytes] : parts) {
    zip_source_t* part = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    const zip_int64_t index = zip_file_add(zip, name, part, ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(part);
      continue;
    }
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  std::string packed;
  zip_stat_t stat;
  if (zip_close(zip) != 0) {
    zip_discard(zip);
    zip_source_free(output);
    return {};
  }
  if (zip_source_open(output) == 0) {
    if (zip_source_stat(output, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) != 0) {
      packed.resize(stat.size);
      if (zip_source_read(output, packed.data(), stat.size) !=
          static_cast<zip_int64_t>(stat.size)) {
        packed.clear();
      }
    }
    zip_source_close(output);
  }
  zip_source_free(output);
  return packed;
}

std::string WorkbookOf(std::string_view input) {
  std::string_view pieces[3];
  for (std::string_view& piece : pieces) {
    const std::size_t cut = input.find(std::string_view("\0\0", 2));
    piece = input.substr(0, cut);
    input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 2);
  }
  return Pack({{"[Content_Types].xml", kContentTypes},
               {"_rels/.rels", kRootRelationships},
               {"xl/workbook.xml", kWorkbook},
               {"xl/_rels/workbook.xml.rels", kWorkbookRelationships},
               {"xl/worksheets/sheet1.xml", pieces[0]},
               {"xl/sharedStrings.xml", pieces[1]},
               {"xl/styles.xml", pieces[2]}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string packed = data[0] % 2 == 0 ? std::string(rest) : WorkbookOf(rest);
  const auto table = ledger_import::ReadXlsxTable(packed);
  if (const auto* read = std::get_if<ledger_import::Table>(&table)) {
    // Within a sheet's bounds.
    for (const ledger_import::SourceRow& row : read->rows) {
      import_fuzz::Check(row.line <= 1'048'576);
    }
    import_fuzz::CheckRows(*read);
  }
  return 0;
}
