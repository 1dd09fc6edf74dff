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

}  // namespace script
