#pragma once

// Conversions at the program's edges. Inside, text is UTF-8; files and some request bodies
// are GBK, read and written with the GB18030 codec (identical to GBK for every GBK character,
// lossless for the rest).

#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// Bytes that are not well-formed input become "?" (to GBK) or U+FFFD (to UTF-8); the
// conversions never fail.
std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);

// Decodes `bytes` from any charset name iconv knows (case-insensitive: "gbk", "GB2312",
// "utf-8", ...) into UTF-8. Returns false, leaving `out` untouched, for an unknown charset.
bool DecodeCharset(std::string_view bytes, std::string_view charset, std::string* out);

// Length of the well-formed UTF-8 sequence at `at` (< bytes.size()), storing its code point;
// 0 for an overlong form, a surrogate, a value above U+10FFFF or a cut-off or stray byte.
size_t Utf8SequenceAt(std::string_view bytes, size_t at, char32_t* code_point);
// Appends the UTF-8 form of `code_point`; surrogates and values above U+10FFFF give U+FFFD.
void AppendUtf8(char32_t code_point, std::string* out);

bool IsValidUtf8(std::string_view bytes);
// `bytes` with every byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD.
std::string ToValidUtf8(std::string_view bytes);

// True when GBK (code page 936) can spell every character of `utf8`, so that writing it as
// GBK loses nothing and needs none of GB18030's four-byte sequences; false for malformed UTF-8.
bool IsGbkText(std::string_view utf8);

// Width of a text in GBK bytes: 1 for ASCII, 2 for other characters.
int GbkWidth(std::string_view utf8);
// The longest prefix of `utf8` whose GbkWidth is at most `max_width`, cut at a character
// boundary.
std::string GbkPrefix(std::string_view utf8, int max_width);

// %XX decoding; `from_utf8` reads the decoded bytes as UTF-8, otherwise as GBK (the escapes
// then stand for GBK bytes). A "%" not followed by two hex digits is copied as it is. Bytes
// that do not decode become U+FFFD, so the result is always valid UTF-8.
std::string UrlDecode(std::string_view text, bool from_utf8);

// Percent-encoding of the UTF-8 bytes (as_utf8) or of the GBK bytes (otherwise); keep_safe
// leaves letters, digits, "-" and "." unchanged.
std::string PercentEncode(std::string_view text, bool keep_safe, bool as_utf8);

// JavaScript unescape(): %XX (the character U+00XX), %uXXXX and \uXXXX (UTF-16 code units;
// a lone surrogate becomes U+FFFD). CR LF and apostrophes come back exactly as they were.
std::string ScriptUnescape(std::string_view text);

}  // namespace base
