#pragma once

// Text conventions of the program. Every text is UTF-8 in std::string; positions are
// 1-based byte positions and a failed find gives -1.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// 1-based position of the first occurrence of `what` at or after `start`, or -1.
// Finding the empty text fails. `ignore_case` folds ASCII letters only.
long long Find(std::string_view text, std::string_view what, long long start = 1,
               bool ignore_case = false);

// The text between the first `left` at or after `start` and the first `right` after it;
// empty when either is missing. "#引号" in a marker stands for a double quote.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        long long start = 1, bool ignore_case = false);

// Everything after the last occurrence of `marker` at or before `start` (-1: end of text);
// empty when the marker does not occur.
std::string TextRightOfLast(std::string_view text, std::string_view marker, long long start = -1,
                            bool ignore_case = false);

// Splits at `separator`: an empty text gives no parts, adjacent separators give an empty
// part, and the remainder after the last separator is a part only when it is not empty.
std::vector<std::string> Split(std::string_view text, std::string_view separator = ",");

// Replaces every occurrence of `from` by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to,
                       bool ignore_case = false);

// Blanks are ASCII spaces and full-width spaces (U+3000).
std::string TrimBlanks(std::string_view text);
std::string RemoveBlanks(std::string_view text);

// Reads a leading decimal number (sign, digits, point); 0 when there is none.
double ToNumber(std::string_view text);

// Power of ten of the leading digit of an unsigned decimal number ("1.5e3" gives 3, "0.05"
// gives -2, zero gives 0), which tells a number too large for a double from one too small.
// Exponents beyond a billion are cut there.
long long DecimalMagnitude(std::string_view number);

std::string IntToText(long long value);
std::string FloatToText(float value);    // "%.6g"
std::string DoubleToText(double value);  // "%.13g", so 3.0 gives "3"

}  // namespace base
