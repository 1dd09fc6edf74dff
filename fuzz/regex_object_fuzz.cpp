// Runs the program's patterns over arbitrary subjects and arbitrary patterns over a fixed page.
// Every match must be a piece of the subject at the position it reports.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/regex_object.h"

namespace {

constexpr std::string_view kPage =
    "<html><head><meta charset=\"gb2312\"></head>\r\n<div class=\"bold\">华夏成长</div>\n"
    "<td class='num'>-1.02%</td><td class='num'>2.10</td>\r<span>基金\xFF规模</span>";

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void Exercise(std::string_view pattern, std::string_view subject, bool quote_marker) {
  script::RegexObject regex;
  const bool ok = regex.Create(pattern, subject, false, true, true, quote_marker);
  const int count = regex.Count();
  Check(ok || count == 0);
  for (int n = 0; n <= count + 1 && n < 64; ++n) {
    int position = 0;
    const std::string match = regex.MatchText(n, &position);
    if (n >= 1 && n <= count) {
      Check(position >= 0 && static_cast<size_t>(position) + match.size() <= subject.size());
      Check(subject.substr(static_cast<size_t>(position), match.size()) == match);
    } else {
      Check(match.empty() && position == -2);
    }
    for (int group = 1; group <= regex.SubMatchCount() && group < 8; ++group) {
      const std::string part = regex.SubMatchText(n, group, &position);
      if (position >= 0) {
        Check(subject.substr(static_cast<size_t>(position), part.size()) == part);
      }
    }
  }
  regex.Replace("[$1|$&|$$|$`]");
  regex.GetPattern();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0:
      for (const char* pattern : {"bold\">.*?</div>", "class='num'>.*?</td>",
                                  "<meta.+?charset=[^\\w]?([-\\w]+)", "^(.*)$", "x*"}) {
        Exercise(pattern, input, false);
      }
      break;
    case 1:
      Exercise(input, kPage, (data[0] & 4) != 0);
      break;
    default: {
      const size_t cut = input.find('\0');
      if (cut == std::string_view::npos) return 0;
      Exercise(input.substr(0, cut), input.substr(cut + 1), false);
      break;
    }
  }
  return 0;
}
