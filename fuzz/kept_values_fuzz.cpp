// Values read back from the local cache, whose file may be damaged or written by another build:
// every kind either decodes or counts as not kept, never crashes; what decodes as a fund's kept
// columns encodes and decodes to the same columns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "funds/download_resume.h"
#include "funds/last_good.h"

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view payload(reinterpret_cast<const char*>(data), size);

  if (const auto page = funds::DecodeStored<portal::FundListPage>(payload)) Check(page->marked);
  funds::DecodeStored<std::vector<portal::Board>>(payload);
  if (const auto summary = funds::DecodeStored<portal::FundSummary>(payload)) {
    Check(summary->marked);
  }
  funds::DecodeStored<std::string>(payload);
  funds::DecodeStored<portal::ManagerFigures>(payload);
  funds::DecodeStored<std::vector<std::string>>(payload);
  funds::DecodeStored<std::vector<portal::Holding>>(payload);

  if (const std::optional<funds::ProfileColumns> columns = funds::DecodeProfileColumns(payload)) {
    const std::string again = funds::EncodeProfileColumns(*columns);
    Check(!again.empty());
    Check(funds::DecodeProfileColumns(again) == columns);
  }
  return 0;
}
