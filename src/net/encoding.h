#pragma once

// Conversions at the program's edges. Inside, text is UTF-8; files and some request bodies
// are GBK, read and written with the GB18030 codec (identical to GBK for every GBK character,
// lossless for the rest).

#include <string>
#include <string_view>

namespace net {

std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);

// Decodes `bytes` from any charset name iconv knows (case-insensitive: "gbk", "GB2312",
// "utf-8", ...) into UTF-8. Returns false, leaving `out` untouched, for an unknown charset.
bool DecodeCharset(std::string_view bytes, std::string_view charset, std::string* out);

bool IsValidUtf8(std::string_view bytes);

// Width of a text in GBK bytes: 1 for ASCII, 2 for other characters.
int GbkWidth(std::string_view utf8);
// The longest prefix of `utf8` whose GbkWidth is at most `max_width`, cut at a character
// boundary.
std::string GbkPrefix(std::string_view utf8, int max_width);

// %XX decoding; `from_utf8` reads the decoded bytes as UTF-8, otherwise as GBK. A "%" not
// followed by two hex digits is copied as it is.
std::string UrlDecode(std::string_view text, bool from_utf8);

// Percent-encoding of the UTF-8 bytes (as_utf8) or of the GBK bytes (otherwise); keep_safe
// leaves letters, digits, "-" and "." unchanged.
std::string PercentEncode(std::string_view text, bool keep_safe, bool as_utf8);

// JavaScript unescape(): %XX, %uXXXX and \uXXXX escapes.
std::string ScriptUnescape(std::string_view text);

bool FileExists(const std::string& path);

}  // namespace net
