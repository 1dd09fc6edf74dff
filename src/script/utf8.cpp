#include "script/utf8.h"

namespace script {

unsigned DecodeUtf8(const char* p, int length) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  if (length == 2) return ((u[0] & 0x1Fu) << 6) | (u[1] & 0x3Fu);
  if (length == 3) return ((u[0] & 0x0Fu) << 12) | ((u[1] & 0x3Fu) << 6) | (u[2] & 0x3Fu);
  return ((u[0] & 0x07u) << 18) | ((u[1] & 0x3Fu) << 12) | ((u[2] & 0x3Fu) << 6) | (u[3] & 0x3Fu);
}

bool IsScriptBlank(unsigned cp) {
  return cp == 0xA0 || cp == 0xFEFF || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) ||
         cp == 0x2028 || cp == 0x2029 || cp == 0x202F || cp == 0x205F || cp == 0x3000;
}

void AppendUtf8(std::string* out, unsigned code_point) {
  if (code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    code_point = 0xFFFD;
  }
  if (code_point < 0x80) {
    out->push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

int Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto* u = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned lead = u[0];
  if (lead < 0x80) return 1;
  int length = 0;
  unsigned low = 0x80;
  unsigned high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < static_cast<size_t>(length) || u[1] < low || u[1] > high) return 0;
  for (int i = 2; i < length; ++i) {
    if ((u[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::string SanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const int length = Utf8SequenceLength(text.substr(i));
    if (length == 0) {
      AppendUtf8(&out, 0xFFFD);
      ++i;
    } else {
      out.append(text.data() + i, static_cast<size_t>(length));
      i += static_cast<size_t>(length);
    }
  }
  return out;
}

}  // namespace script
