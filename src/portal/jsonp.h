#pragma once

// The JSON inside the portal's JSONP answers ("callback({...})"). Two endpoints close their
// object with a known text and are cut between the callback's "(" and that text; the quote
// service is cut from the first "(" to the last ")", so that a ")" in a stock name stays inside.

#include <string>
#include <string_view>

namespace portal {

// What lies between `callback` "(" and the first `closing` ")" after it, followed by `closing`:
// the answer's object when both markers occur, `closing` alone when either is missing (which
// parses as nothing).
std::string JsonpBetween(std::string_view answer, std::string_view callback,
                         std::string_view closing);

// From the first "(" to the last ")"; empty when either is missing or they are out of order.
std::string_view JsonpBody(std::string_view answer);

// Whether the answer holds `callback` "(".
bool HasCallback(std::string_view answer, std::string_view callback);

}  // namespace portal
