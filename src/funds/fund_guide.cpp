#include "funds/fund_guide.h"

#include "net/text.h"

namespace funds {

script::JsonObject ParseFundGuideResponse(std::string_view body) {
  script::JsonObject list;
  if (!list.Parse(net::TextRightOfLast(body, "var rankData ="))) list.Reset();
  return list;
}

}  // namespace funds
