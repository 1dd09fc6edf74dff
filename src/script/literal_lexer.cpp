#include "script/literal_lexer.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "base/text.h"
#include "script/utf8.h"

namespace script {
namespace {

bool IsIdentifierAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

const char* LiteralLexer::SkipIdentifier(const char* p) const {
  while (p < end_) {
    const auto c = static_cast<unsigned char>(*p);
    if (c < 0x80) {
      if (!IsIdentifierAscii(c)) break;
      ++p;
      continue;
    }
    const int length = Utf8SequenceLength(std::string_view(p, end_ - p));
    if (length == 0 || IsScriptBlank(DecodeUtf8(p, length))) break;
    p += length;
  }
  return p;
}

bool LiteralLexer::MatchWord(std::string_view word) {
  if (static_cast<size_t>(end_ - pos_) < word.size() ||
      std::string_view(pos_, word.size()) != word) {
    return false;
  }
  const char* after = pos_ + word.size();
  if (SkipIdentifier(after) != after) return false;
  pos_ = after;
  return true;
}

bool LiteralLexer::ParseNumber(double* value) {
  bool negative = false;
  if (*pos_ == '-' || *pos_ == '+') {
    negative = *pos_ == '-';
    ++pos_;
    SkipBlanks();
    if (pos_ == end_) return false;
  }
  *value = 0;
  if (MatchWord("Infinity")) {
    *value = std::numeric_limits<double>::infinity();
  } else if (end_ - pos_ > 2 && pos_[0] == '0' && (pos_[1] == 'x' || pos_[1] == 'X')) {
    if (!ParseHex(value)) return false;
  } else if (!ParseDecimal(value)) {
    return false;
  }
  if (negative) *value = -*value;
  return true;
}

bool LiteralLexer::ParseHex(double* value) {
  pos_ += 2;
  const char* start = pos_;
  for (int digit; pos_ < end_ && (digit = HexValue(*pos_)) >= 0; ++pos_) {
    *value = *value * 16 + digit;
  }
  return pos_ != start && SkipIdentifier(pos_) == pos_;
}

bool LiteralLexer::ParseDecimal(double* value) {
  const char* start = pos_;
  std::uint64_t integer = 0;
  long long digits = 0;
  for (; pos_ < end_ && *pos_ >= '0' && *pos_ <= '9'; ++pos_, ++digits) {
    integer = integer * 10 + static_cast<unsigned>(*pos_ - '0');
  }
  bool plain = digits > 0 && digits <= 18;
  long long fraction_digits = 0;
  if (pos_ < end_ && *pos_ == '.') {
    plain = false;
    for (++pos_; pos_ < end_ && *pos_ >= '0' && *pos_ <= '9'; ++pos_) ++fraction_digits;
  }
  if (digits + fraction_digits == 0) return false;
  if (pos_ < end_ && (*pos_ == 'e' || *pos_ == 'E')) {
    plain = false;
    ++pos_;
    if (pos_ < end_ && (*pos_ == '+' || *pos_ == '-')) ++pos_;
    const char* exponent_start = pos_;
    while (pos_ < end_ && *pos_ >= '0' && *pos_ <= '9') ++pos_;
    if (pos_ == exponent_start) return false;
  }
  if (SkipIdentifier(pos_) != pos_) return false;
  if (plain) {
    *value = static_cast<double>(integer);
    return true;
  }
  return ConvertDecimal(start, digits > 0, value);
}

bool LiteralLexer::ConvertDecimal(const char* start, bool has_integer_part, double* value) const {
  // from_chars wants a digit before the point.
  std::string buffer;
  const char* first = start;
  if (!has_integer_part) {
    buffer.reserve(static_cast<size_t>(pos_ - start) + 1);
    buffer.push_back('0');
    buffer.append(start, pos_);
    first = buffer.data();
  }
  const char* last = !has_integer_part ? buffer.data() + buffer.size() : pos_;
  const auto result = std::from_chars(first, last, *value);
  if (result.ec == std::errc()) return true;
  if (result.ec != std::errc::result_out_of_range) return false;
  // Too large or too small for a double: a script engine reads Infinity or 0.
  const std::string_view number(start, static_cast<size_t>(pos_ - start));
  *value = base::DecimalMagnitude(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return true;
}

bool LiteralLexer::ParseString(std::string* out) {
  const char quote = *pos_++;
  for (;;) {
    const char* run = pos_;
    while (pos_ < end_) {
      const auto c = static_cast<unsigned char>(*pos_);
      if (c < 0x80) {
        if (c == static_cast<unsigned char>(quote) || c == '\\' || c == '\n' || c == '\r') break;
        ++pos_;
        continue;
      }
      const int length = Utf8SequenceLength(std::string_view(pos_, end_ - pos_));
      if (length == 0) break;
      pos_ += length;
    }
    out->append(run, pos_);
    if (pos_ == end_ || *pos_ == '\n' || *pos_ == '\r') return false;
    if (*pos_ == quote) {
      ++pos_;
      return true;
    }
    if (*pos_ == '\\') {
      if (!ParseEscape(out)) return false;
    } else {
      AppendUtf8(out, 0xFFFD);
      ++pos_;
    }
  }
}

bool LiteralLexer::ParseEscape(std::string* out) {
  if (++pos_ == end_) return false;
  const char c = *pos_++;
  switch (c) {
    case 'n':
      out->push_back('\n');
      return true;
    case 'r':
      out->push_back('\r');
      return true;
    case 't':
      out->push_back('\t');
      return true;
    case 'b':
      out->push_back('\b');
      return true;
    case 'f':
      out->push_back('\f');
      return true;
    case 'v':
      out->push_back('\v');
      return true;
    case 'x':
      return ParseHexEscape(out);
    case 'u':
      return ParseUnicodeEscape(out);
    case '\r':
      if (pos_ < end_ && *pos_ == '\n') ++pos_;
      return true;
    case '\n':
      return true;
    default:
      break;
  }
  if (c >= '0' && c <= '7') {
    unsigned code = static_cast<unsigned>(c - '0');
    const int max_digits = c <= '3' ? 2 : 1;
    for (int i = 0; i < max_digits && pos_ < end_ && *pos_ >= '0' && *pos_ <= '7'; ++i) {
      code = code * 8 + static_cast<unsigned>(*pos_++ - '0');
    }
    AppendUtf8(out, code);
    return true;
  }
  if (static_cast<unsigned char>(c) >= 0x80) {
    // An escaped non-ASCII character stands for itself, except a line separator, which
    // continues the line.
    --pos_;
    const int length = Utf8SequenceLength(std::string_view(pos_, end_ - pos_));
    if (length == 3 && (DecodeUtf8(pos_, 3) == 0x2028 || DecodeUtf8(pos_, 3) == 0x2029)) {
      pos_ += 3;
    }
    return true;
  }
  out->push_back(c);
  return true;
}

bool LiteralLexer::ReadHex(int count, unsigned* code) {
  if (end_ - pos_ < count) return false;
  *code = 0;
  for (int i = 0; i < count; ++i) {
    const int digit = HexValue(pos_[i]);
    if (digit < 0) return false;
    *code = *code * 16 + static_cast<unsigned>(digit);
  }
  pos_ += count;
  return true;
}

bool LiteralLexer::ParseHexEscape(std::string* out) {
  unsigned code = 0;
  if (!ReadHex(2, &code)) return false;
  AppendUtf8(out, code);
  return true;
}

bool LiteralLexer::ParseUnicodeEscape(std::string* out) {
  unsigned code = 0;
  if (pos_ < end_ && *pos_ == '{') {
    ++pos_;
    const char* start = pos_;
    for (int digit; pos_ < end_ && (digit = HexValue(*pos_)) >= 0; ++pos_) {
      code = code * 16 + static_cast<unsigned>(digit);
      if (code > 0x10FFFF) return false;
    }
    if (pos_ == start || pos_ == end_ || *pos_ != '}') return false;
    ++pos_;
  } else if (!ReadHex(4, &code)) {
    return false;
  }
  if (code >= 0xD800 && code <= 0xDBFF && end_ - pos_ >= 6 && pos_[0] == '\\' && pos_[1] == 'u') {
    const char* save = pos_;
    unsigned low = 0;
    pos_ += 2;
    if (ReadHex(4, &low) && low >= 0xDC00 && low <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    } else {
      pos_ = save;
    }
  }
  AppendUtf8(out, code);
  return true;
}

void LiteralLexer::SkipBlanks() {
  while (pos_ < end_) {
    const auto c = static_cast<unsigned char>(*pos_);
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f') {
      ++pos_;
    } else if (c == '/' && end_ - pos_ > 1 && (pos_[1] == '/' || pos_[1] == '*')) {
      SkipComment();
    } else if (c >= 0x80) {
      const int length = Utf8SequenceLength(std::string_view(pos_, end_ - pos_));
      if (length == 0 || !IsScriptBlank(DecodeUtf8(pos_, length))) return;
      pos_ += length;
    } else {
      return;
    }
  }
}

void LiteralLexer::SkipComment() {
  if (pos_[1] == '/') {
    while (pos_ < end_ && *pos_ != '\n' && *pos_ != '\r') ++pos_;
    return;
  }
  const std::string_view rest(pos_ + 2, end_ - pos_ - 2);
  const size_t close = rest.find("*/");
  if (close == std::string_view::npos) {
    bad_comment_ = true;
    pos_ = end_;
  } else {
    pos_ += 2 + close + 2;
  }
}

}  // namespace script
