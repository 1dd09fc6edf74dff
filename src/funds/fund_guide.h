#pragma once

// The portal's FundGuide list answer: "var rankData = {datas:[...],allPages:..,datacount:..}".

#include <string_view>

#include "script/json_object.h"

namespace funds {

// The list object after the last "var rankData =". A body without the marker, or one whose
// literal does not parse, gives an empty object: "datas" then counts 0.
script::JsonObject ParseFundGuideResponse(std::string_view body);

}  // namespace funds
