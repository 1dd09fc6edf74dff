#include "script/utf8.h"

#include "base/encoding.h"

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

void AppendUtf8(std::string* out, unsigned code_point) { base::AppendUtf8(code_point, out); }

int Utf8SequenceLength(std::string_view text) {
  char32_t code_point = 0;
  return text.empty() ? 0 : static_cast<int>(base::Utf8SequenceAt(text, 0, &code_point));
}

}  // namespace script
