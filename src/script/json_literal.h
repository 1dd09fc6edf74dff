#pragma once

// A data-only reader for JSON and for the JavaScript object literals the portal sends. It never
// evaluates anything: text that is not a literal is refused.

#include <cstddef>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

namespace script {

// Nesting deeper than this is refused so that hostile text cannot exhaust the stack of the
// reader or of anything that later walks the tree. The portal's answers nest a few levels.
inline constexpr int kMaxLiteralDepth = 256;

// A text holding more values than this (every value read counts: elements, holes, member
// values, parenthesised values and the outer value) is refused, so that a hostile answer such as
// millions of empty strings cannot cost gigabytes and seconds. The portal's largest answers hold
// some ten thousand values.
inline constexpr long long kMaxLiteralValues = 1'000'000;

// Reads one value: JSON, or a JavaScript literal with unquoted or numeric member names,
// single-quoted strings, JavaScript escapes, hexadecimal numbers, trailing commas, holes in
// arrays, `undefined`, `NaN`, `Infinity`, comments and enclosing parentheses. Blanks and
// semicolons may follow the value. Invalid UTF-8 inside strings becomes U+FFFD.
//
// Text beyond kMaxLiteralDepth or kMaxLiteralValues fails as a malformed text does.
//
// On success stores the value in `out`, its nesting depth (0 for a scalar) in `depth` when
// given, and returns true; otherwise returns false and leaves `out` untouched.
bool ParseLiteral(std::string_view text, nlohmann::ordered_json* out, int* depth = nullptr);

// Reads the one value that starts `text` (blanks and comments may come before it), as
// ParseLiteral does, and stores in `consumed` how many bytes of `text` it took up to the value's
// end; what follows is left unread. Returns false, leaving `out` untouched, when no whole value
// starts the text.
bool ParseLiteralPrefix(std::string_view text, nlohmann::ordered_json* out, std::size_t* consumed);

}  // namespace script
