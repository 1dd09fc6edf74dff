#include "portal/fund_search.h"

#include "base/encoding.h"
#include "base/text.h"
#include "net/http_fetch.h"
#include "portal/jsonp.h"
#include "script/json_object.h"

namespace portal {

std::string FundSearchUrl(const net::PortalUrls& urls, std::string_view encoded_key) {
  return urls.portal_suggest +
         "/FundSearch/api/FundSearchAPI.ashx?callback=" + std::string(kFundSearchCallback) +
         "&m=1&key=" + std::string(encoded_key) + "&_=1628571587137";
}

std::vector<SearchHit> CutSearchHits(std::string_view answer) {
  script::JsonObject found;
  found.Parse(JsonpBetween(answer, kFundSearchCallback, "]}"));
  std::vector<SearchHit> hits;
  const int count = found.GetCount("Datas");
  for (int i = 0; i < count; ++i) {
    const std::string item = "Datas[" + base::IntToText(i) + "]";
    hits.push_back({found.GetText(item + ".NAME"), found.GetText(item + "['_id']")});
  }
  return hits;
}

std::optional<std::vector<SearchHit>> FetchSearchHits(const net::PortalUrls& urls,
                                                      std::string_view text,
                                                      net::TransferControl* control) {
  const std::optional<std::string> answer = net::GetAnswerText(
      FundSearchUrl(urls, base::PercentEncode(text, true, true)), control, kFundSearchMaxBytes);
  if (!answer || !HasCallback(*answer, kFundSearchCallback)) return std::nullopt;
  return CutSearchHits(*answer);
}

std::optional<std::string> FetchFundName(const net::PortalUrls& urls, const std::string& code,
                                         net::TransferControl* control) {
  for (const SearchHit& hit :
       FetchSearchHits(urls, code, control).value_or(std::vector<SearchHit>{})) {
    if (hit.code == code) return hit.name;
  }
  return std::nullopt;
}

}  // namespace portal
