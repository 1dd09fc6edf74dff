#include "funds/fund_guide.h"

#include "base/text.h"

namespace funds {

script::JsonObject ParseFundGuideResponse(std::string_view body) {
  script::JsonObject list;
  list.Parse(base::TextRightOfLast(body, "var rankData ="));  // on failure it stays empty
  return list;
}

}  // namespace funds
