#pragma once

// UTF-8 helpers of the script readers: every text they hand out is valid UTF-8.

#include <string>
#include <string_view>

namespace script {

// Appends the UTF-8 form of `code_point` (U+FFFD for surrogates and out-of-range values).
void AppendUtf8(std::string* out, unsigned code_point);

// Length of the valid UTF-8 sequence at the start of `text`, 0 when it is invalid or empty.
int Utf8SequenceLength(std::string_view text);

// The code point of a valid sequence of `length` bytes at `p`.
unsigned DecodeUtf8(const char* p, int length);

// Whether a script engine reads the code point as a blank between tokens.
bool IsScriptBlank(unsigned code_point);

}  // namespace script
