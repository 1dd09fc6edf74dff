#pragma once

// An OLE2 compound file (version 3, 512-byte sectors) holding one stream, "Workbook". The
// stream lives in regular sectors, so it must be at least 4096 bytes long (the mini-stream
// cut-off); FAT sectors beyond the header's 109 are listed in DIFAT sectors.

#include <cstdint>
#include <string_view>
#include <vector>

#include "export/output_file.h"

namespace exporter {

struct CompoundLayout {
  uint32_t data_sectors = 0;
  uint32_t fat_sectors = 0;
  uint32_t difat_sectors = 0;
  uint64_t file_bytes = 0;
};

// Sector counts for a stream of `stream_bytes`.
CompoundLayout PlanCompoundFile(uint64_t stream_bytes);

// Writes the file whose Workbook stream is the concatenation of `parts`. False when the
// output failed, or the stream is shorter than 4096 bytes or too long for the directory
// entry's 32-bit size (then nothing is written).
bool WriteCompoundFile(const std::vector<std::string_view>& parts, OutputFile& out);

}  // namespace exporter
