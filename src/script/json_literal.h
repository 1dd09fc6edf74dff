#pragma once

// A data-only reader for JSON and for the JavaScript object literals the portal sends. It never
// evaluates anything: text that is not a literal is refused.

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

namespace script {

// Nesting deeper than this is refused so that hostile text cannot exhaust the stack of the
// reader or of anything that later walks the tree.
inline constexpr int kMaxLiteralDepth = 512;

// Reads one value: JSON, or a JavaScript literal with unquoted or numeric member names,
// single-quoted strings, JavaScript escapes, hexadecimal numbers, trailing commas, holes in
// arrays, `undefined`, `NaN`, `Infinity`, comments and enclosing parentheses. Blanks and
// semicolons may follow the value. Invalid UTF-8 inside strings becomes U+FFFD.
//
// On success stores the value in `out`, its nesting depth (0 for a scalar) in `depth` when
// given, and returns true; otherwise returns false and leaves `out` untouched.
bool ParseLiteral(std::string_view text, nlohmann::ordered_json* out, int* depth = nullptr);

// Appends the UTF-8 form of `code_point` (U+FFFD for surrogates and out-of-range values).
void AppendUtf8(std::string* out, unsigned code_point);

// `text` with every invalid UTF-8 sequence replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view text);

// Length of the valid UTF-8 sequence at the start of `text`, 0 when it is invalid or empty.
int Utf8SequenceLength(std::string_view text);

}  // namespace script
