#include "export/utf16.h"

namespace exporter {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character at `i`, advancing `i`; malformed input yields kReplacement and
// advances by one byte.
char32_t DecodeOne(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra;
  char32_t cp;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + extra >= s.size()) {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
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
