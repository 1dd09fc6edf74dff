#include "export/utf16.h"

#include "base/encoding.h"

namespace exporter {

namespace {

// Decodes one character at `i`, advancing `i`; malformed input yields U+FFFD and advances by
// one byte.
char32_t DecodeOne(std::string_view s, size_t& i) {
  char32_t cp = 0;
  const size_t length = base::Utf8SequenceAt(s, i, &cp);
  if (length == 0) {
    ++i;
    return 0xFFFD;
  }
  i += length;
  return cp;
}

}  // namespace

void AppendUtf16(std::string_view utf8, std::vector<uint16_t>* out) {
  size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = DecodeOne(utf8, i);
    if (cp < 0x10000) {
      out->push_back(static_cast<uint16_t>(cp));
    } else {
      const char32_t v = cp - 0x10000;
      out->push_back(static_cast<uint16_t>(0xD800 + (v >> 10)));
      out->push_back(static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
    }
  }
}

size_t Utf16Length(std::string_view utf8) {
  size_t units = 0;
  size_t i = 0;
  while (i < utf8.size()) units += DecodeOne(utf8, i) < 0x10000 ? 1 : 2;
  return units;
}

}  // namespace exporter
