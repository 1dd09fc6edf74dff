#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace exporter {

// Appends the UTF-16 code units of a UTF-8 text to `out`. Bytes that do not form a valid
// UTF-8 character become U+FFFD each, so a damaged cell still exports as readable text.
void AppendUtf16(std::string_view utf8, std::vector<uint16_t>* out);

// Number of UTF-16 code units AppendUtf16 would append.
size_t Utf16Length(std::string_view utf8);

}  // namespace exporter
