#include "portal/board_ranking.h"

#include "base/encoding.h"
#include "base/text.h"
#include "net/http_fetch.h"
#include "portal/jsonp.h"
#include "script/json_object.h"

namespace portal {

std::string BoardRankingUrl(const net::PortalUrls& urls, std::string_view period_code) {
  return urls.portal_api + "/ztjj/GetZTJJList?callback=" + std::string(kBoardRankingCallback) +
         "&tt=0&dt=syl&st=" + std::string(period_code) + "&_=1629802165339";
}

std::string BoardRankingReferer(const net::PortalUrls& urls) {
  return "Referer: " + urls.portal_main + "/ztjj/";
}

std::vector<Board> CutBoardRanking(std::string_view answer, std::string_view period) {
  const std::string text = base::UrlDecode(answer, true);
  script::JsonObject ranking;
  ranking.Parse(JsonpBetween(text, kBoardRankingCallback, "}"));
  std::vector<Board> boards;
  const int count = ranking.GetCount("Data");
  for (int j = 0; j < count; ++j) {
    const std::string item = "Data[" + base::IntToText(j) + "]";
    boards.push_back({ranking.GetText(item + ".BKName"), ranking.GetText(item + ".BKCode"),
                      ranking.GetText(item + "['" + std::string(period) + "']")});
  }
  return boards;
}

std::optional<std::vector<Board>> FetchBoardRanking(const net::PortalUrls& urls,
                                                    std::string_view period,
                                                    net::TransferControl* control) {
  const std::optional<std::string> answer = net::GetAnswerText(
      BoardRankingUrl(urls, period), control, kBoardRankingMaxBytes, BoardRankingReferer(urls));
  if (!answer || !HasCallback(base::UrlDecode(*answer, true), kBoardRankingCallback)) {
    return std::nullopt;
  }
  return CutBoardRanking(*answer, period);
}

}  // namespace portal
