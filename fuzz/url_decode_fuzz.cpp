// Percent codecs, the script unescape and the text helpers on hostile input: no crash, the
// results are valid UTF-8, and encoding then decoding gives back the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/encoding.h"
#include "net/text.h"

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);

  Check(net::IsValidUtf8(net::UrlDecode(input, true)));
  Check(net::IsValidUtf8(net::UrlDecode(input, false)));
  Check(net::IsValidUtf8(net::ScriptUnescape(input)));

  std::string text = net::ToValidUtf8(input);
  Check(net::GbkToUtf8(net::Utf8ToGbk(text)) == text);
  for (bool keep_safe : {false, true}) {
    for (bool as_utf8 : {false, true}) {
      std::string encoded = net::PercentEncode(text, keep_safe, as_utf8);
      Check(net::UrlDecode(encoded, as_utf8) == text);
    }
  }
  // Text without escapes, apostrophes or line-break markers comes through unescape as is.
  if (text.find_first_of("%\\\r\xE2{") == std::string::npos) {
    Check(net::ScriptUnescape(text) == text);
  }

  std::string decoded;
  if (net::DecodeCharset(input, "gbk", &decoded)) Check(net::IsValidUtf8(decoded));

  int width = size > 0 ? data[0] % 64 : 0;
  std::string prefix = net::GbkPrefix(text, width);
  Check(net::GbkWidth(prefix) <= width);
  Check(text.compare(0, prefix.size(), prefix) == 0);
  Check(net::IsValidUtf8(prefix));

  // Marker helpers: split the input into a text and two markers.
  size_t third = size / 3;
  std::string_view left = input.substr(0, third % 8);
  std::string_view right = input.substr(third % 8, third % 5);
  std::string between = net::TextBetween(input, left, right, static_cast<long long>(third % 7));
  Check(between.size() <= input.size());
  std::string after = net::TextRightOfLast(input, right);
  Check(input.ends_with(after));
  size_t parts_bytes = 0;
  for (const std::string& part : net::Split(input, left)) parts_bytes += part.size();
  Check(parts_bytes <= input.size());
  Check(net::RemoveBlanks(net::TrimBlanks(input)) == net::RemoveBlanks(input));
  double number = net::ToNumber(input);
  (void)number;
  return 0;
}
