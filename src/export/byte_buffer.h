#pragma once

// Little-endian byte output for the workbook stream and the compound file, independent of the
// host's byte order.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace exporter {

class ByteBuffer {
 public:
  void Reserve(size_t bytes) { bytes_.reserve(bytes); }
  size_t Size() const { return bytes_.size(); }
  const std::string& Bytes() const { return bytes_; }
  std::string Take() { return std::move(bytes_); }

  void U8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    bytes_.append(b, 2);
  }
  void U32(uint32_t v) {
    char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                 static_cast<char>(v >> 24)};
    bytes_.append(b, 4);
  }
  void Raw(std::string_view v) { bytes_.append(v); }
  void Zeros(size_t n) { bytes_.append(n, '\0'); }

  void PatchU16(size_t at, uint16_t v) {
    bytes_[at] = static_cast<char>(v);
    bytes_[at + 1] = static_cast<char>(v >> 8);
  }
  void PatchU32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<char>(v >> (8 * i));
  }

  // Starts a record and returns its position; EndRecord fills in the body length.
  size_t BeginRecord(uint16_t id) {
    size_t at = bytes_.size();
    U16(id);
    U16(0);
    return at;
  }
  void EndRecord(size_t record_start) {
    PatchU16(record_start + 2, static_cast<uint16_t>(bytes_.size() - record_start - 4));
  }
  size_t BodySize(size_t record_start) const { return bytes_.size() - record_start - 4; }

 private:
  std::string bytes_;
};

}  // namespace exporter
