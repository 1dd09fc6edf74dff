#include "portal/jsonp.h"

#include "base/text.h"

namespace portal {

std::string JsonpBetween(std::string_view answer, std::string_view callback,
                         std::string_view closing) {
  const std::string open = std::string(callback) + "(";
  return base::TextBetween(answer, open, std::string(closing) + ")") + std::string(closing);
}

std::string_view JsonpBody(std::string_view answer) {
  const size_t open = answer.find('(');
  const size_t close = answer.rfind(')');
  if (open == answer.npos || close == answer.npos || close < open) return {};
  return answer.substr(open + 1, close - open - 1);
}

bool HasCallback(std::string_view answer, std::string_view callback) {
  return answer.find(std::string(callback) + "(") != answer.npos;
}

}  // namespace portal
