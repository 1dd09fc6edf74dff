#include "script/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>

#include "base/text.h"
#include "script/utf8.h"

namespace script {
namespace {

constexpr size_t kUnset = PCRE2_UNSET;
constexpr std::string_view kQuoteMarker = "#引号";

// Budgets of one match call: enough for every page the program reads many times over, small
// enough that catastrophic backtracking ends within milliseconds.
constexpr uint32_t kMatchLimit = 1'000'000;
constexpr uint32_t kDepthLimit = 10'000;
constexpr uint32_t kHeapLimitKib = 16 * 1024;
constexpr size_t kJitStackStart = size_t{32} * 1024;
constexpr size_t kJitStackMax = size_t{8} * 1024 * 1024;

// Bytes of the character at `offset`; a stray byte counts as one.
size_t CharLength(std::string_view text, size_t offset) {
  const int length = Utf8SequenceLength(text.substr(offset));
  return length == 0 ? 1 : static_cast<size_t>(length);
}

// One JIT stack per thread, grown on demand: group repeats over long subjects need more than
// the small default, which lives on the machine stack.
pcre2_jit_stack* ThreadJitStack() {
  struct Holder {
    pcre2_jit_stack* stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    ~Holder() { pcre2_jit_stack_free(stack); }
  };
  thread_local Holder holder;
  return holder.stack;
}

}  // namespace

struct RegexObject::Code {
  pcre2_code* code = nullptr;
  pcre2_match_context* context = nullptr;

  Code() = default;
  Code(const Code&) = delete;
  Code& operator=(const Code&) = delete;
  ~Code() {
    pcre2_match_context_free(context);
    pcre2_code_free(code);
  }
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(const RegexObject&) = default;
RegexObject& RegexObject::operator=(const RegexObject&) = default;

bool RegexObject::Create(std::string_view pattern, std::string_view subject, bool case_sensitive,
                         bool multiline, bool global, bool quote_marker) {
  code_.reset();
  offsets_.clear();
  ran_ = false;
  groups_ = 0;
  pattern_ = quote_marker ? base::ReplaceAll(pattern, kQuoteMarker, "\"") : std::string(pattern);
  subject_ = std::string(subject);

  // ECMAScript behaviour: \u escapes, "[^]" for any character, unset back references match
  // the empty text, and without multi-line mode "$" only at the very end.
  uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                     PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;
  if (!case_sensitive) options |= PCRE2_CASELESS;
  options |= multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;

  pcre2_compile_context* compile_context = pcre2_compile_context_create(nullptr);
  if (compile_context == nullptr) return false;
  // CR and LF each end a line, so "." matches neither.
  pcre2_set_newline(compile_context, PCRE2_NEWLINE_ANYCRLF);
  int error = 0;
  PCRE2_SIZE error_offset = 0;
  auto code = std::make_shared<Code>();
  code->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_.data()), pattern_.size(),
                             options, &error, &error_offset, compile_context);
  pcre2_compile_context_free(compile_context);
  if (code->code == nullptr) return false;
  pcre2_jit_compile(code->code, PCRE2_JIT_COMPLETE);  // without JIT the interpreter runs
  code->context = pcre2_match_context_create(nullptr);
  if (code->context == nullptr) return false;
  pcre2_set_match_limit(code->context, kMatchLimit);
  pcre2_set_depth_limit(code->context, kDepthLimit);
  pcre2_set_heap_limit(code->context, kHeapLimitKib);
  uint32_t capture_count = 0;
  pcre2_pattern_info(code->code, PCRE2_INFO_CAPTURECOUNT, &capture_count);
  groups_ = static_cast<int>(capture_count);
  code_ = std::move(code);

  ran_ = CollectMatches(global);
  if (!ran_) offsets_.clear();
  return ran_;
}

bool RegexObject::CollectMatches(bool global) {
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code_->code, nullptr);
  if (data == nullptr) return false;
  const auto* subject = reinterpret_cast<PCRE2_SPTR>(subject_.data());
  const size_t pairs = static_cast<size_t>(groups_) + 1;
  pcre2_jit_stack_assign(code_->context, nullptr, ThreadJitStack());
  bool ok = true;
  size_t offset = 0;
  while (offset <= subject_.size()) {
    int rc = pcre2_match(code_->code, subject, subject_.size(), offset, 0, data, code_->context);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
      // The interpreter keeps its backtracking on the heap, within the heap limit.
      rc = pcre2_match(code_->code, subject, subject_.size(), offset, PCRE2_NO_JIT, data,
                       code_->context);
    }
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc < 0) {
      ok = false;
      break;
    }
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data);
    offsets_.insert(offsets_.end(), vector, vector + 2 * pairs);
    if (!global) break;
    // As in a script engine, an empty match moves the search on by one character.
    size_t next = vector[1];
    if (next <= vector[0] || next <= offset) {
      next = std::max<size_t>(next, offset);
      next += next < subject_.size() ? CharLength(subject_, next) : 1;
    }
    offset = next;
  }
  pcre2_match_data_free(data);
  return ok;
}

std::string RegexObject::GetPattern() const { return pattern_; }

int RegexObject::Count() const {
  const size_t count = offsets_.size() / (2 * (static_cast<size_t>(groups_) + 1));
  return static_cast<int>(count);
}

bool RegexObject::GroupRange(size_t index, int group, size_t* start, size_t* end) const {
  if (group < 0 || group > groups_ || index >= static_cast<size_t>(Count())) return false;
  const size_t at = index * 2 * (static_cast<size_t>(groups_) + 1) + 2 * static_cast<size_t>(group);
  if (offsets_[at] == kUnset || offsets_[at + 1] == kUnset) return false;
  *start = offsets_[at];
  // A match reported with its end before its start (possible with \K) reads as empty.
  *end = std::max(offsets_[at], offsets_[at + 1]);
  return *end <= subject_.size();
}

std::string RegexObject::MatchText(int n, int* position) const {
  return SubMatchText(n, 0, position);
}

std::string RegexObject::SubMatchText(int n, int group, int* position) const {
  size_t start = 0;
  size_t end = 0;
  if (n < 1 || !GroupRange(static_cast<size_t>(n - 1), group, &start, &end)) {
    if (position != nullptr) *position = -2;
    return {};
  }
  if (position != nullptr) *position = static_cast<int>(start);
  return subject_.substr(start, end - start);
}

int RegexObject::SubMatchCount() const { return Count() > 0 ? groups_ : 0; }

std::string RegexObject::Replace(std::string_view replacement) const {
  if (!ran_) return {};
  std::string out;
  size_t copied = 0;
  for (size_t i = 0; i < static_cast<size_t>(Count()); ++i) {
    size_t start = 0;
    size_t end = 0;
    if (!GroupRange(i, 0, &start, &end) || start < copied) continue;
    out.append(subject_, copied, start - copied);
    AppendReplacement(replacement, i, &out);
    copied = end;
  }
  out.append(subject_, copied);
  return out;
}

void RegexObject::AppendReplacement(std::string_view replacement, size_t index,
                                    std::string* out) const {
  size_t start = 0;
  size_t end = 0;
  GroupRange(index, 0, &start, &end);
  for (size_t i = 0; i < replacement.size(); ++i) {
    const char c = replacement[i];
    const char next = i + 1 < replacement.size() ? replacement[i + 1] : '\0';
    if (c != '$' || next == '\0') {
      out->push_back(c);
      continue;
    }
    if (next == '$') {
      out->push_back('$');
    } else if (next == '&') {
      out->append(subject_, start, end - start);
    } else if (next == '`') {
      out->append(subject_, 0, start);
    } else if (next == '\'') {
      out->append(subject_, end);
    } else if (next >= '0' && next <= '9') {
      // Two digits win when they name a group, as in ECMAScript.
      int group = next - '0';
      int used = 1;
      const char after = i + 2 < replacement.size() ? replacement[i + 2] : '\0';
      if (after >= '0' && after <= '9' && group * 10 + (after - '0') <= groups_ &&
          group * 10 + (after - '0') >= 1) {
        group = group * 10 + (after - '0');
        used = 2;
      }
      if (group < 1 || group > groups_) {
        out->push_back('$');
        continue;
      }
      size_t group_start = 0;
      size_t group_end = 0;
      if (GroupRange(index, group, &group_start, &group_end)) {
        out->append(subject_, group_start, group_end - group_start);
      }
      i += static_cast<size_t>(used);
      continue;
    } else {
      out->push_back('$');
      continue;
    }
    ++i;
  }
}

}  // namespace script
