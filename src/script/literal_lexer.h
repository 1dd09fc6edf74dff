#pragma once

// The tokens of JavaScript literal text: blanks and comments, words, strings and numbers. The
// lexer reads forward over a text it does not own; the literal reader builds on it.

#include <string>
#include <string_view>

namespace script {

class LiteralLexer {
 public:
  explicit LiteralLexer(std::string_view text)
      : pos_(text.data()), end_(text.data() + text.size()) {}

 protected:
  // Skips blanks, line ends, Unicode spaces and comments. An unterminated block comment moves
  // to the end and sets `bad_comment_`.
  void SkipBlanks();
  // End of the identifier characters at `p`: ASCII letters, digits, "_", "$" and non-blank
  // non-ASCII characters.
  const char* SkipIdentifier(const char* p) const;
  // Consumes `word` when it stands alone, not as the start of a longer identifier.
  bool MatchWord(std::string_view word);
  // At a quote: appends the string's characters with escapes resolved. Invalid UTF-8 becomes
  // U+FFFD; a line break before the closing quote fails.
  bool ParseString(std::string* out);
  // At a sign, digit, "." or "Infinity": a decimal or hexadecimal number. Values beyond the
  // range of a double read as infinity or 0, as in a script engine.
  bool ParseNumber(double* value);

  const char* pos_;
  const char* end_;
  bool bad_comment_ = false;

 private:
  bool ParseHex(double* value);
  bool ParseDecimal(double* value);
  bool ConvertDecimal(const char* start, bool has_integer_part, double* value) const;
  bool ParseEscape(std::string* out);
  bool ReadHex(int count, unsigned* code);
  // After "\x": two hexadecimal digits.
  bool ParseHexEscape(std::string* out);
  bool ParseUnicodeEscape(std::string* out);
  void SkipComment();
};

}  // namespace script
