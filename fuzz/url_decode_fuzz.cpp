// Percent codecs, the script unescape and the text helpers on hostile input: no crash, the
// results are valid UTF-8, and encoding then decoding gives back the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/encoding.h"
#include "base/text.h"

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);

  Check(base::IsValidUtf8(base::UrlDecode(input, true)));
  Check(base::IsValidUtf8(base::UrlDecode(input, false)));
  Check(base::IsValidUtf8(base::ScriptUnescape(input)));

  std::string text = base::ToValidUtf8(input);
  Check(base::GbkToUtf8(base::Utf8ToGbk(text)) == text);
  for (bool keep_safe : {false, true}) {
    for (bool as_utf8 : {false, true}) {
      std::string encoded = base::PercentEncode(text, keep_safe, as_utf8);
      Check(base::UrlDecode(encoded, as_utf8) == text);
    }
  }
  // Text without escapes, apostrophes or line-break markers comes through unescape as is.
  if (text.find_first_of("%\\\r\xE2{") == std::string::npos) {
    Check(base::ScriptUnescape(text) == text);
  }

  std::string decoded;
  if (base::DecodeCharset(input, "gbk", &decoded)) Check(base::IsValidUtf8(decoded));

  int width = size > 0 ? data[0] % 64 : 0;
  std::string prefix = base::GbkPrefix(text, width);
  Check(base::GbkWidth(prefix) <= width);
  Check(text.compare(0, prefix.size(), prefix) == 0);
  Check(base::IsValidUtf8(prefix));

  // Marker helpers: split the input into a text and two markers.
  size_t third = size / 3;
  std::string_view left = input.substr(0, third % 8);
  std::string_view right = input.substr(third % 8, third % 5);
  std::string between = base::TextBetween(input, left, right, static_cast<long long>(third % 7));
  Check(between.size() <= input.size());
  std::string after = base::TextRightOfLast(input, right);
  Check(input.ends_with(after));
  size_t parts_bytes = 0;
  for (const std::string& part : base::Split(input, left)) parts_bytes += part.size();
  Check(parts_bytes <= input.size());
  Check(base::RemoveBlanks(base::TrimBlanks(input)) == base::RemoveBlanks(input));
  double number = base::ToNumber(input);
  (void)number;
  return 0;
}
