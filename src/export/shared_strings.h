#pragma once

// The workbook's shared-string table: every text cell refers to one entry by index. Writes the
// SST record with its CONTINUE records and the EXTSST index that follows it.

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "export/byte_buffer.h"

namespace exporter {

// The most a record body may hold in BIFF8.
constexpr size_t kMaxRecordBody = 8224;

class SharedStrings {
 public:
  // Index of `text` in the table, adding it on first use. The text's bytes must stay alive
  // until the table is written. Counts one more referring cell.
  uint32_t Add(std::string_view text);

  uint32_t UniqueCount() const { return static_cast<uint32_t>(spans_.size()); }

  // Appends SST, its CONTINUE records and EXTSST. `stream_base` is the position of `out`'s
  // first byte in the Workbook stream, needed for the stream offsets of EXTSST.
  void Write(ByteBuffer& out, size_t stream_base) const;

 private:
  struct Span {
    size_t first;   // into units_
    size_t length;  // UTF-16 code units
    bool wide;      // needs UTF-16; otherwise stored as Latin-1 bytes
  };

  std::unordered_map<std::string_view, uint32_t> index_;
  std::vector<Span> spans_;
  std::vector<uint16_t> units_;
  uint32_t total_ = 0;
};

// Strings per EXTSST bucket: a bucket count of at most 128, as Excel expects.
uint16_t ExtSstBucketSize(uint32_t unique_count);

}  // namespace exporter
