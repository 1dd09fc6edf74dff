#pragma once

// RegexObject runs one regular expression over one subject text and hands out the matches by
// 1-based number. Patterns follow ECMAScript habits: lazy quantifiers, "." never crosses a line
// break (CR or LF), "^" and "$" at line breaks in multi-line mode, and letter case ignored by
// default. Subjects and patterns are UTF-8 and are matched by characters; bytes that are not
// valid UTF-8 are never part of a match.
//
// Matching is bounded: a pattern that would backtrack without end over its subject stops at a
// fixed budget, and the run then counts as failed with no matches.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace script {

class RegexObject {
 public:
  RegexObject();
  ~RegexObject();
  RegexObject(const RegexObject&);
  RegexObject& operator=(const RegexObject&);

  // Compiles `pattern` and collects the matches in `subject` (every match when `global`, else
  // the first). With `quote_marker`, every "#引号" in the pattern stands for a double quote.
  // Returns true when the pattern ran (also when it found nothing); false for an invalid
  // pattern or when matching ran out of its budget, in both cases with no matches.
  bool Create(std::string_view pattern, std::string_view subject, bool case_sensitive = false,
              bool multiline = true, bool global = true, bool quote_marker = false);

  // The pattern of the last `Create` (after the quote-marker replacement); empty before any.
  std::string GetPattern() const;

  // The subject with the matches of the last `Create` replaced. In `replacement`, "$1" to "$99"
  // stand for groups, "$&" for the match, "$`" and "$'" for the text before and after it, and
  // "$$" for "$". Empty when the last `Create` failed or there was none.
  std::string Replace(std::string_view replacement) const;

  int Count() const;

  // The text of match `n` (1-based); empty when there is no such match. `position`, when given,
  // receives the 0-based byte offset of the match in the subject, or -2 when there is none.
  std::string MatchText(int n, int* position = nullptr) const;

  // The text of group `group` (1-based) of match `n`; empty for an unmatched group. `position`
  // as in `MatchText`, for the group.
  std::string SubMatchText(int n, int group, int* position = nullptr) const;

  // The number of groups of the pattern when there is at least one match, else 0.
  int SubMatchCount() const;

 private:
  struct Code;

  // Byte range of group `group` (0: the whole match) of match `index` (0-based), or false when
  // the group did not take part.
  bool GroupRange(size_t index, int group, size_t* start, size_t* end) const;
  void AppendReplacement(std::string_view replacement, size_t index, std::string* out) const;
  bool CollectMatches(bool global);

  std::shared_ptr<Code> code_;
  std::string pattern_;
  std::string subject_;
  bool ran_ = false;
  int groups_ = 0;
  // Per match, (groups_ + 1) start/end pairs; unset groups hold kUnset.
  std::vector<size_t> offsets_;
};

}  // namespace script
