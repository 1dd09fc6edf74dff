#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace net {

// Merges the cookies a response set (`new_cookies`, items joined by "; ") into the caller's
// cookie text: new items first, then the old items the response did not name; items whose
// value is "deleted" are dropped; blanks are removed; duplicates collapse. Updates both
// arguments and returns the merged text.
std::string CookieMerge(std::string& cookies, std::string& new_cookies);

std::string CookieNameOf(std::string_view item);
bool CookieListHasName(const std::vector<std::string>& items, std::string_view name);
std::string JoinUnique(std::string_view text, std::string_view separator);

}  // namespace net
