#include "funds/fund_guide.h"

#include "net/text.h"

namespace funds {

script::JsonObject ParseFundGuideResponse(std::string_view body) {
  script::JsonObject list;
  list.Parse(net::TextRightOfLast(body, "var rankData ="));  // on failure it stays empty
  return list;
}

}  // namespace funds
