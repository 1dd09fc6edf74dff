#include "base/encoding.h"

#include <errno.h>
#include <iconv.h>

#include <map>
#include <utility>

#include "base/text.h"

namespace base {
namespace {

constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";  // U+FFFD
constexpr const char* kGbkCodec = "GB18030";

// One iconv descriptor per direction and thread: opening one costs far more than a short
// conversion, and a descriptor must not be shared between threads.
class ConverterCache {
 public:
  ~ConverterCache() {
    for (auto& [key, cd] : descriptors_) iconv_close(cd);
  }
  // Null when iconv does not know one of the names.
  iconv_t Get(const std::string& to, const std::string& from) {
    auto key = std::make_pair(to, from);
    auto it = descriptors_.find(key);
    if (it != descriptors_.end()) return it->second;
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    // iconv_open's documented failure value is (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;  // NOLINT(performance-no-int-to-ptr)
    descriptors_.emplace(std::move(key), cd);
    return cd;
  }

 private:
  std::map<std::pair<std::string, std::string>, iconv_t> descriptors_;
};

iconv_t Converter(const std::string& to, const std::string& from) {
  thread_local ConverterCache cache;
  return cache.Get(to, from);
}

// Converts with `cd`; a byte the source codec rejects becomes `replacement` and the walk
// goes on with the next byte, so bad input never stops or crashes a conversion. With
// `windows_euro`, a single byte 0x80 reads as the euro sign, as code page 936 has it
// (GB18030 spells the euro A2 E3 and rejects 0x80).
std::string Convert(iconv_t cd, std::string_view input, std::string_view replacement,
                    bool windows_euro = false) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  out.reserve(input.size() * 2 + 16);
  char* in = const_cast<char*>(input.data());
  size_t in_left = input.size();
  char buffer[4096];
  while (in_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t rc = iconv(cd, &in, &in_left, &dst, &dst_left);
    int error = errno;
    out.append(buffer, dst);
    if (rc != static_cast<size_t>(-1)) break;
    if (error == E2BIG) continue;
    // EILSEQ or EINVAL (a character cut off at the end): replace one byte and resynchronise.
    out.append(windows_euro && *in == '\x80' ? std::string_view("\xE2\x82\xAC") : replacement);
    ++in;
    --in_left;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  char* dst = buffer;
  size_t dst_left = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dst_left);
  out.append(buffer, dst);
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Value of `count` hex digits at `at`, or -1 when there are fewer.
long HexAt(std::string_view s, size_t at, size_t count) {
  if (at > s.size() || s.size() - at < count) return -1;
  long value = 0;
  for (size_t i = 0; i < count; ++i) {
    int digit = HexValue(s[at + i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

// Charset names as pages declare them, reduced to what iconv should open. Every name of the
// GBK family decodes with GB18030, which reads GBK and GB2312 byte for byte and more besides.
bool CanonicalCharset(std::string_view name, std::string* canonical) {
  std::string& lower = *canonical;
  lower.clear();
  for (char c : name) {
    if (c == ' ' || c == '\t' || c == '"' || c == '\'') continue;
    bool allowed = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                   c == '-' || c == '_' || c == '.' || c == ':';
    // Names come from the network: "//" suffixes or odd bytes must not steer iconv.
    if (!allowed) return false;
    lower.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
  }
  static constexpr std::string_view kGbkNames[] = {
      "gbk", "gb2312", "gb_2312-80", "cp936", "x-gbk", "ms936", "euc-cn", "windows-936", "gb18030"};
  for (std::string_view gbk : kGbkNames) {
    if (lower == gbk) lower.assign(kGbkCodec);
  }
  if (lower == "utf8") lower.assign("utf-8");
  return !lower.empty();
}

}  // namespace

size_t Utf8SequenceAt(std::string_view s, size_t at, char32_t* code_point) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char lead = byte(at);
  if (lead < 0x80) {
    *code_point = lead;
    return 1;
  }
  size_t length;
  char32_t value;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code_point = value;
  return length;
}

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string ToValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    char32_t cp;
    size_t length = Utf8SequenceAt(bytes, at, &cp);
    if (length == 0) {
      out.append(kReplacementChar);
      ++at;
    } else {
      out.append(bytes.substr(at, length));
      at += length;
    }
  }
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (utf8.empty()) return {};
  iconv_t cd = Converter(kGbkCodec, "UTF-8");
  if (cd == nullptr) return std::string(utf8);
  return Convert(cd, utf8, "?");
}

std::string GbkToUtf8(std::string_view gbk) {
  if (gbk.empty()) return {};
  iconv_t cd = Converter("UTF-8", kGbkCodec);
  if (cd == nullptr) return ToValidUtf8(gbk);
  return Convert(cd, gbk, kReplacementChar, true);
}

bool DecodeCharset(std::string_view bytes, std::string_view charset, std::string* out) {
  std::string name;
  if (!CanonicalCharset(charset, &name)) return false;
  if (name == "utf-8") {
    *out = ToValidUtf8(bytes);
    return true;
  }
  iconv_t cd = Converter("UTF-8", name);
  if (cd == nullptr) return false;
  *out = Convert(cd, bytes, kReplacementChar, name == kGbkCodec);
  return true;
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    char32_t cp;
    size_t length = Utf8SequenceAt(bytes, at, &cp);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

bool IsGbkText(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return false;
  const std::string gbk = Utf8ToGbk(utf8);
  // GB18030 spells a GBK character in one byte or two; its four-byte form, a lead byte and
  // then a digit, is for everything GBK lacks.
  for (size_t at = 0; at < gbk.size();) {
    const auto lead = static_cast<unsigned char>(gbk[at]);
    if (lead < 0x80) {
      ++at;
      continue;
    }
    if (at + 1 >= gbk.size() || (gbk[at + 1] >= '0' && gbk[at + 1] <= '9')) return false;
    at += 2;
  }
  return true;
}

int GbkWidth(std::string_view utf8) {
  int width = 0;
  for (size_t at = 0; at < utf8.size();) {
    char32_t cp;
    size_t length = Utf8SequenceAt(utf8, at, &cp);
    width += (length == 1) ? 1 : 2;
    at += length == 0 ? 1 : length;
  }
  return width;
}

std::string GbkPrefix(std::string_view utf8, int max_width) {
  int width = 0;
  size_t at = 0;
  while (at < utf8.size()) {
    char32_t cp;
    size_t length = Utf8SequenceAt(utf8, at, &cp);
    int char_width = (length == 1) ? 1 : 2;
    if (width + char_width > max_width) break;
    width += char_width;
    at += length == 0 ? 1 : length;
  }
  return std::string(utf8.substr(0, at));
}

std::string UrlDecode(std::string_view text, bool from_utf8) {
  // Without the flag the escapes stand for GBK bytes, and so must the unescaped characters
  // around them, so the walk runs over the GBK form of the text.
  std::string source = from_utf8 ? std::string(text) : Utf8ToGbk(text);
  std::string bytes;
  bytes.reserve(source.size());
  for (size_t at = 0; at < source.size(); ++at) {
    long value = source[at] == '%' ? HexAt(source, at + 1, 2) : -1;
    if (value < 0) {
      bytes.push_back(source[at]);
    } else {
      bytes.push_back(static_cast<char>(value));
      at += 2;
    }
  }
  return from_utf8 ? ToValidUtf8(bytes) : GbkToUtf8(bytes);
}

std::string PercentEncode(std::string_view text, bool keep_safe, bool as_utf8) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  if (text.empty()) return {};
  std::string bytes = as_utf8 ? std::string(text) : Utf8ToGbk(text);
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char c : bytes) {
    bool safe = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                c == '-' || c == '.';
    if (keep_safe && safe) {
      out.push_back(c);
    } else {
      auto byte = static_cast<unsigned char>(c);
      out.push_back('%');
      out.push_back(kHexDigits[byte >> 4]);
      out.push_back(kHexDigits[byte & 0x0F]);
    }
  }
  return out;
}

namespace {

// The unescape of script engines: %XX is the character U+00XX, %uXXXX one UTF-16 code unit;
// surrogate pairs join, a lone surrogate becomes U+FFFD.
std::string UnescapeEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char32_t pending_high = 0;
  auto flush_high = [&] {
    if (pending_high != 0) out.append(kReplacementChar);
    pending_high = 0;
  };
  for (size_t at = 0; at < text.size();) {
    long unit = -1;
    size_t length = 0;
    if (text[at] == '%') {
      if (at + 1 < text.size() && text[at + 1] == 'u' && (unit = HexAt(text, at + 2, 4)) >= 0) {
        length = 6;
      } else if ((unit = HexAt(text, at + 1, 2)) >= 0) {
        length = 3;
      }
    }
    if (length == 0) {
      flush_high();
      out.push_back(text[at++]);
      continue;
    }
    at += length;
    auto code_unit = static_cast<char32_t>(unit);
    if (code_unit >= 0xDC00 && code_unit <= 0xDFFF && pending_high != 0) {
      AppendUtf8(0x10000 + ((pending_high - 0xD800) << 10) + (code_unit - 0xDC00), &out);
      pending_high = 0;
      continue;
    }
    flush_high();
    if (code_unit >= 0xD800 && code_unit <= 0xDBFF) {
      pending_high = code_unit;
    } else if (code_unit >= 0xDC00 && code_unit <= 0xDFFF) {
      out.append(kReplacementChar);
    } else {
      AppendUtf8(code_unit, &out);
    }
  }
  flush_high();
  return out;
}

}  // namespace

std::string ScriptUnescape(std::string_view text) {
  // Line breaks and apostrophes are shielded as the script literal they once went through
  // required, and restored at the end; callers rely on the exact round trip.
  std::string work = ReplaceAll(text, "\r\n", "{$}");
  if (!work.empty() && work.front() == '\r') work.erase(0, 1);
  work = ReplaceAll(work, "\\u", "%u");
  work = ReplaceAll(work, "'", "’");
  work = ToValidUtf8(UnescapeEscapes(work));
  work = ReplaceAll(work, "’", "'");
  return ReplaceAll(work, "{$}", "\r\n");
}

}  // namespace base
