#include "export/utf16.h"

#include "script/utf8.h"

namespace exporter {

namespace {

constexpr unsigned kReplacement = 0xFFFD;

// Decodes one character at `i`, advancing `i`; malformed input yields kReplacement and
// advances by one byte.
unsigned DecodeOne(std::string_view s, size_t& i) {
  const int length = script::Utf8SequenceLength(s.substr(i));
  if (length == 0) {
    ++i;
    return kReplacement;
  }
  const unsigned cp =
      length == 1 ? static_cast<unsigned char>(s[i]) : script::DecodeUtf8(s.data() + i, length);
  i += static_cast<size_t>(length);
  return cp;
}

}  // namespace

void AppendUtf16(std::string_view utf8, std::vector<uint16_t>* out) {
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned cp = DecodeOne(utf8, i);
    if (cp < 0x10000) {
      out->push_back(static_cast<uint16_t>(cp));
    } else {
      const unsigned v = cp - 0x10000;
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
