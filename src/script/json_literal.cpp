#include "script/json_literal.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "net/text.h"

namespace script {
namespace {

using Json = nlohmann::ordered_json;

// Objects up to this size are searched for duplicate names linearly; bigger ones get an index
// so that hostile text with many members cannot make the reader quadratic.
constexpr size_t kLinearMemberSearch = 16;
constexpr double kMaxExactInteger = 9007199254740992.0;  // 2^53

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

unsigned DecodeUtf8(const char* p, int length) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  if (length == 2) return ((u[0] & 0x1Fu) << 6) | (u[1] & 0x3Fu);
  if (length == 3) return ((u[0] & 0x0Fu) << 12) | ((u[1] & 0x3Fu) << 6) | (u[2] & 0x3Fu);
  return ((u[0] & 0x07u) << 18) | ((u[1] & 0x3Fu) << 12) | ((u[2] & 0x3Fu) << 6) | (u[3] & 0x3Fu);
}

bool IsUnicodeBlank(unsigned cp) {
  return cp == 0xA0 || cp == 0xFEFF || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) ||
         cp == 0x2028 || cp == 0x2029 || cp == 0x202F || cp == 0x205F || cp == 0x3000;
}

// Stores a number the way a script engine would show it again: integral values as integers, so
// that 2.0 is written back as 2.
void StoreNumber(double value, Json* out) {
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) <= kMaxExactInteger) {
    *out = static_cast<std::int64_t>(value);
  } else {
    *out = value;
  }
}

class Parser {
 public:
  explicit Parser(std::string_view text) : pos_(text.data()), end_(text.data() + text.size()) {}

  bool ParseDocument(Json* out) {
    SkipBlanks();
    if (pos_ == end_ || !ParseValue(out, 0)) return false;
    for (SkipBlanks(); pos_ < end_ && *pos_ == ';'; SkipBlanks()) ++pos_;
    return pos_ == end_ && !bad_comment_;
  }

  int max_depth() const { return max_depth_; }

 private:
  bool ParseValue(Json* out, int depth) {
    switch (*pos_) {
      case '{':
        return Enter(depth) && ParseObject(out, depth + 1);
      case '[':
        return Enter(depth) && ParseArray(out, depth + 1);
      case '(':
        return Enter(depth) && ParseParenthesised(out, depth + 1);
      case '"':
      case '\'': {
        std::string text;
        if (!ParseString(&text)) return false;
        *out = std::move(text);
        return true;
      }
      default:
        return ParseScalar(out);
    }
  }

  bool Enter(int depth) {
    if (depth >= kMaxLiteralDepth) return false;
    if (depth + 1 > max_depth_) max_depth_ = depth + 1;
    return true;
  }

  bool ParseParenthesised(Json* out, int depth) {
    ++pos_;
    SkipBlanks();
    if (pos_ == end_ || !ParseValue(out, depth)) return false;
    SkipBlanks();
    if (pos_ == end_ || *pos_ != ')') return false;
    ++pos_;
    return true;
  }

  bool ParseObject(Json* out, int depth) {
    ++pos_;
    *out = Json::object();
    auto& members = out->get_ref<Json::object_t&>();
    std::unique_ptr<std::unordered_map<std::string, size_t>> index;
    std::string key;
    for (;;) {
      SkipBlanks();
      if (pos_ == end_) return false;
      if (*pos_ == '}') break;
      if (!ParseKey(&key)) return false;
      SkipBlanks();
      if (pos_ == end_ || *pos_ != ':') return false;
      ++pos_;
      SkipBlanks();
      if (pos_ == end_) return false;
      Json* slot = FindMember(members, key, index);
      if (slot == nullptr) {
        members.emplace_back(std::move(key), nullptr);
        if (index) index->emplace(members.back().first, members.size() - 1);
        slot = &members.back().second;
      }
      if (!ParseValue(slot, depth)) return false;
      SkipBlanks();
      if (pos_ == end_) return false;
      if (*pos_ == '}') break;
      if (*pos_ != ',') return false;
      ++pos_;
    }
    ++pos_;
    return true;
  }

  // A repeated member name keeps its first place and takes the last value, as in a script.
  static Json* FindMember(Json::object_t& members, const std::string& key,
                          std::unique_ptr<std::unordered_map<std::string, size_t>>& index) {
    if (!index && members.size() >= kLinearMemberSearch) {
      index = std::make_unique<std::unordered_map<std::string, size_t>>();
      for (size_t i = 0; i < members.size(); ++i) {
        index->emplace((members.begin() + static_cast<std::ptrdiff_t>(i))->first, i);
      }
    }
    if (index) {
      auto found = index->find(key);
      return found == index->end()
                 ? nullptr
                 : &(members.begin() + static_cast<std::ptrdiff_t>(found->second))->second;
    }
    for (auto& member : members) {
      if (member.first == key) return &member.second;
    }
    return nullptr;
  }

  bool ParseArray(Json* out, int depth) {
    ++pos_;
    *out = Json::array();
    auto& items = out->get_ref<Json::array_t&>();
    for (;;) {
      SkipBlanks();
      if (pos_ == end_) return false;
      if (*pos_ == ']') break;
      items.emplace_back();
      if (*pos_ == ',') {  // a hole reads as null
        ++pos_;
        continue;
      }
      if (!ParseValue(&items.back(), depth)) return false;
      SkipBlanks();
      if (pos_ == end_) return false;
      if (*pos_ == ']') break;
      if (*pos_ != ',') return false;
      ++pos_;
    }
    ++pos_;
    return true;
  }

  bool ParseKey(std::string* key) {
    key->clear();
    const char c = *pos_;
    if (c == '"' || c == '\'') return ParseString(key);
    if ((c >= '0' && c <= '9') || c == '.') {
      Json number;
      if (!ParseNumber(&number)) return false;
      *key = number.is_number_integer() ? std::to_string(number.get<std::int64_t>())
                                        : net::DoubleToText(number.get<double>());
      return true;
    }
    const char* start = pos_;
    pos_ = SkipIdentifier(pos_);
    if (pos_ == start || (*start >= '0' && *start <= '9')) return false;
    key->assign(start, pos_);
    return true;
  }

  // End of the identifier characters at `p`: ASCII letters, digits, '_', '$' and non-blank
  // non-ASCII characters.
  const char* SkipIdentifier(const char* p) const {
    while (p < end_) {
      const auto c = static_cast<unsigned char>(*p);
      if (c < 0x80) {
        if (!IsIdentifierAscii(c)) break;
        ++p;
        continue;
      }
      const int length = Utf8SequenceLength(std::string_view(p, end_ - p));
      if (length == 0 || IsUnicodeBlank(DecodeUtf8(p, length))) break;
      p += length;
    }
    return p;
  }

  bool MatchWord(std::string_view word) {
    if (static_cast<size_t>(end_ - pos_) < word.size() ||
        std::string_view(pos_, word.size()) != word) {
      return false;
    }
    const char* after = pos_ + word.size();
    if (SkipIdentifier(after) != after) return false;
    pos_ = after;
    return true;
  }

  bool ParseScalar(Json* out) {
    if (MatchWord("true"))
      *out = true;
    else if (MatchWord("false"))
      *out = false;
    else if (MatchWord("null") || MatchWord("undefined"))
      *out = nullptr;
    else if (MatchWord("NaN"))
      *out = std::numeric_limits<double>::quiet_NaN();
    else
      return ParseNumber(out);
    return true;
  }

  bool ParseNumber(Json* out) {
    bool negative = false;
    if (*pos_ == '-' || *pos_ == '+') {
      negative = *pos_ == '-';
      ++pos_;
      SkipBlanks();
      if (pos_ == end_) return false;
    }
    double value = 0;
    if (MatchWord("Infinity")) {
      value = std::numeric_limits<double>::infinity();
    } else if (end_ - pos_ > 2 && pos_[0] == '0' && (pos_[1] == 'x' || pos_[1] == 'X')) {
      if (!ParseHex(&value)) return false;
    } else if (!ParseDecimal(&value)) {
      return false;
    }
    StoreNumber(negative ? -value : value, out);
    return true;
  }

  bool ParseHex(double* value) {
    pos_ += 2;
    const char* start = pos_;
    for (int digit; pos_ < end_ && (digit = HexValue(*pos_)) >= 0; ++pos_) {
      *value = *value * 16 + digit;
    }
    return pos_ != start && SkipIdentifier(pos_) == pos_;
  }

  bool ParseDecimal(double* value) {
    const char* start = pos_;
    std::uint64_t integer = 0;
    int digits = 0;
    for (; pos_ < end_ && *pos_ >= '0' && *pos_ <= '9'; ++pos_, ++digits) {
      integer = integer * 10 + static_cast<unsigned>(*pos_ - '0');
    }
    bool plain = digits > 0 && digits <= 18;
    int fraction_digits = 0;
    if (pos_ < end_ && *pos_ == '.') {
      plain = false;
      for (++pos_; pos_ < end_ && *pos_ >= '0' && *pos_ <= '9'; ++pos_) ++fraction_digits;
    }
    if (digits + fraction_digits == 0) return false;
    const char* mantissa_end = pos_;
    long long exponent = 0;
    if (pos_ < end_ && (*pos_ == 'e' || *pos_ == 'E')) {
      plain = false;
      ++pos_;
      bool exponent_negative = false;
      if (pos_ < end_ && (*pos_ == '+' || *pos_ == '-')) exponent_negative = *pos_++ == '-';
      const char* exponent_start = pos_;
      for (; pos_ < end_ && *pos_ >= '0' && *pos_ <= '9'; ++pos_) {
        if (exponent < 1000000000) exponent = exponent * 10 + (*pos_ - '0');
      }
      if (pos_ == exponent_start) return false;
      if (exponent_negative) exponent = -exponent;
    }
    if (SkipIdentifier(pos_) != pos_) return false;
    if (plain) {
      *value = static_cast<double>(integer);
      return true;
    }
    return ConvertDecimal(start, mantissa_end, digits, exponent, value);
  }

  bool ConvertDecimal(const char* start, const char* mantissa_end, int integer_digits,
                      long long exponent, double* value) const {
    // from_chars wants a digit before the point.
    std::string buffer;
    const char* first = start;
    if (integer_digits == 0) {
      buffer.reserve(static_cast<size_t>(pos_ - start) + 1);
      buffer.push_back('0');
      buffer.append(start, pos_);
      first = buffer.data();
    }
    const char* last = integer_digits == 0 ? buffer.data() + buffer.size() : pos_;
    const auto result = std::from_chars(first, last, *value);
    if (result.ec == std::errc()) return true;
    if (result.ec != std::errc::result_out_of_range) return false;
    // Too large or too small for a double: a script engine reads Infinity or 0.
    long long magnitude = exponent;
    const char* p = start;
    while (p < mantissa_end && (*p == '0' || *p == '.')) ++p;
    const char* point = start;
    while (point < mantissa_end && *point != '.') ++point;
    magnitude += p < point ? point - p : -(p - point);
    *value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return true;
  }

  bool ParseString(std::string* out) {
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

  bool ParseEscape(std::string* out) {
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
        return ParseHexEscape(2, out);
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

  bool ReadHex(int count, unsigned* code) {
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

  bool ParseHexEscape(int count, std::string* out) {
    unsigned code = 0;
    if (!ReadHex(count, &code)) return false;
    AppendUtf8(out, code);
    return true;
  }

  bool ParseUnicodeEscape(std::string* out) {
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

  void SkipBlanks() {
    while (pos_ < end_) {
      const auto c = static_cast<unsigned char>(*pos_);
      if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f') {
        ++pos_;
      } else if (c == '/' && end_ - pos_ > 1 && (pos_[1] == '/' || pos_[1] == '*')) {
        SkipComment();
      } else if (c >= 0x80) {
        const int length = Utf8SequenceLength(std::string_view(pos_, end_ - pos_));
        if (length == 0 || !IsUnicodeBlank(DecodeUtf8(pos_, length))) return;
        pos_ += length;
      } else {
        return;
      }
    }
  }

  void SkipComment() {
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

  const char* pos_;
  const char* end_;
  int max_depth_ = 0;
  bool bad_comment_ = false;
};

}  // namespace

bool ParseLiteral(std::string_view text, nlohmann::ordered_json* out, int* depth) {
  Parser parser(text);
  Json value;
  if (!parser.ParseDocument(&value)) return false;
  *out = std::move(value);
  if (depth != nullptr) *depth = parser.max_depth();
  return true;
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
