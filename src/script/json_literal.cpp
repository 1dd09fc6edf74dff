#include "script/json_literal.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "base/text.h"
#include "script/literal_lexer.h"

namespace script {
namespace {

using Json = nlohmann::ordered_json;

// Objects up to this size are searched for duplicate names linearly; bigger ones get an index
// so that hostile text with many members cannot make the reader quadratic.
constexpr size_t kLinearMemberSearch = 16;
constexpr double kMaxExactInteger = 9007199254740992.0;  // 2^53

// Integral values a double holds exactly are stored and named as integers, the way a script
// engine shows them again: 2.0 is written back as 2.
bool IsExactInteger(double value) {
  return std::isfinite(value) && value == std::trunc(value) && std::fabs(value) <= kMaxExactInteger;
}

void StoreNumber(double value, Json* out) {
  if (IsExactInteger(value)) {
    *out = static_cast<std::int64_t>(value);
  } else {
    *out = value;
  }
}

class Parser : public LiteralLexer {
 public:
  explicit Parser(std::string_view text) : LiteralLexer(text) {}

  bool ParseDocument(Json* out) {
    SkipBlanks();
    if (pos_ == end_ || !ParseValue(out, 0)) return false;
    for (SkipBlanks(); pos_ < end_ && *pos_ == ';'; SkipBlanks()) ++pos_;
    return pos_ == end_ && !bad_comment_;
  }

  // One value from the start; the position after it in `consumed`.
  bool ParseFirstValue(Json* out, std::size_t* consumed, const char* begin) {
    SkipBlanks();
    if (pos_ == end_ || bad_comment_ || !ParseValue(out, 0)) return false;
    *consumed = static_cast<std::size_t>(pos_ - begin);
    return true;
  }

  int max_depth() const { return max_depth_; }

 private:
  bool ParseValue(Json* out, int depth) {
    if (!CountValue()) return false;
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

  bool CountValue() { return ++values_ <= kMaxLiteralValues; }

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
        if (!CountValue()) return false;
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
      double value = 0;
      if (!ParseNumber(&value)) return false;
      *key = IsExactInteger(value) ? std::to_string(static_cast<std::int64_t>(value))
                                   : base::DoubleToText(value);
      return true;
    }
    const char* start = pos_;
    pos_ = SkipIdentifier(pos_);
    if (pos_ == start || (*start >= '0' && *start <= '9')) return false;
    key->assign(start, pos_);
    return true;
  }

  bool ParseScalar(Json* out) {
    if (MatchWord("true")) {
      *out = true;
    } else if (MatchWord("false")) {
      *out = false;
    } else if (MatchWord("null") || MatchWord("undefined")) {
      *out = nullptr;
    } else if (MatchWord("NaN")) {
      *out = std::numeric_limits<double>::quiet_NaN();
    } else {
      double value = 0;
      if (!ParseNumber(&value)) return false;
      StoreNumber(value, out);
    }
    return true;
  }

  int max_depth_ = 0;
  long long values_ = 0;
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

bool ParseLiteralPrefix(std::string_view text, nlohmann::ordered_json* out, std::size_t* consumed) {
  Parser parser(text);
  Json value;
  std::size_t length = 0;
  if (!parser.ParseFirstValue(&value, &length, text.data())) return false;
  *out = std::move(value);
  *consumed = length;
  return true;
}

}  // namespace script
