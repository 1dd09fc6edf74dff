// Cookie merging on hostile texts: no crash, no blanks, no deleted or repeated items in the
// result, and merging the same response twice changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/encoding.h"
#include "base/text.h"
#include "net/cookies.h"

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\n');
  std::string old_cookies = base::ToValidUtf8(input.substr(0, cut));
  std::string new_cookies =
      cut == std::string_view::npos ? std::string() : base::ToValidUtf8(input.substr(cut + 1));

  std::string cookies = old_cookies;
  std::string fresh = new_cookies;
  std::string merged = net::CookieMerge(cookies, fresh);
  Check(merged == cookies);
  Check(base::RemoveBlanks(merged) == base::ReplaceAll(merged, "; ", ";"));
  Check(base::RemoveBlanks(fresh) == fresh);

  std::vector<std::string> items = base::Split(merged, "; ");
  for (size_t i = 0; i < items.size(); ++i) {
    Check(!items[i].ends_with("=deleted"));
    for (size_t j = 0; j < i; ++j) Check(items[i] != items[j]);
  }
  // Every item the response set (and did not delete) is in the result.
  for (const std::string& item : base::Split(fresh, ";")) {
    // An empty last item vanishes with the final separator; that is how texts are joined.
    if (item.empty() || item.ends_with("=deleted")) continue;
    bool found = false;
    for (const std::string& kept : items) found = found || kept == item;
    Check(found);
  }

  std::string again = net::CookieMerge(cookies, fresh);
  Check(again == merged);
  return 0;
}
