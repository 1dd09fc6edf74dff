#include "net/cookies.h"

#include "base/text.h"

namespace net {

std::string CookieMerge(std::string& cookies, std::string& new_cookies) {
  // Blanks go everywhere, values included: the merged text is sent back as it is built here.
  std::string old_text = base::RemoveBlanks(cookies);
  new_cookies = base::RemoveBlanks(new_cookies);

  std::vector<std::string> merged = base::Split(new_cookies, ";");
  // An old item is checked against the list as it grows, so the first of several old items
  // with one name is the one kept.
  for (std::string& item : base::Split(old_text, ";")) {
    if (!CookieListHasName(merged, CookieNameOf(item))) merged.push_back(std::move(item));
  }

  std::string joined;
  for (const std::string& item : merged) {
    if (item.ends_with("=deleted")) continue;
    joined += item;
    joined += "; ";
  }
  if (!joined.empty()) joined.resize(joined.size() - 2);

  cookies = JoinUnique(joined, "; ");
  return cookies;
}

std::string CookieNameOf(std::string_view item) {
  return base::TrimBlanks(item.substr(0, item.find('=')));
}

bool CookieListHasName(const std::vector<std::string>& items, std::string_view name) {
  for (const std::string& item : items) {
    if (CookieNameOf(item) == name) return true;
  }
  return false;
}

std::string JoinUnique(std::string_view text, std::string_view separator) {
  std::vector<std::string> kept;
  for (std::string& part : base::Split(text, separator)) {
    bool seen = false;
    for (const std::string& earlier : kept) seen = seen || earlier == part;
    if (!seen) kept.push_back(std::move(part));
  }
  std::string out;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out += separator;
    out += kept[i];
  }
  return out;
}

}  // namespace net
