#include "portal/fund_list.h"

#include "base/text.h"
#include "net/http_fetch.h"
#include "script/json_object.h"

namespace portal {

namespace {

constexpr std::string_view kRankingRnd = "0.9509419468855504";
constexpr std::string_view kFiveStarRnd = "0.01942454964583651";
constexpr std::string_view kTotalsRnd = "0.9027817428207583";
constexpr std::string_view kAllFundsRnd = "0.6066118187338245";
constexpr std::string_view kBoardRnd = "0.6496325281618789";

std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts) out += part;
  return out;
}

std::string Page(int page) { return base::IntToText(page); }

std::string FundGuide(const net::PortalUrls& urls, std::string_view query) {
  return Cat({urls.portal_main, kFundGuidePath, "?", query});
}

}  // namespace

std::string RankingListUrl(const net::PortalUrls& urls, std::string_view sort_code,
                           std::string_view order) {
  return FundGuide(urls, Cat({"dt=4&sd=&ed=&sc=", sort_code, "&st=", order,
                              "&pi=1&pn=20&zf=diy&sh=list&rnd=", kRankingRnd}));
}

std::string FiveStarCountUrl(const net::PortalUrls& urls) { return FiveStarPageUrl(urls, 1); }

std::string FiveStarPageUrl(const net::PortalUrls& urls, int page) {
  return FiveStarSortedPageUrl(urls, "jn", "desc", page);
}

std::string FiveStarSortedPageUrl(const net::PortalUrls& urls, std::string_view sort_code,
                                  std::string_view order, int page) {
  return FundGuide(urls, Cat({"dt=4&sd=&ed=&rt=sz,5&sc=", sort_code, "&st=", order,
                              "&pi=", Page(page), "&pn=20&zf=diy&sh=list&rnd=", kFiveStarRnd}));
}

std::string AllFundsTotalsUrl(const net::PortalUrls& urls) {
  return FundGuide(urls,
                   Cat({"dt=4&sd=&ed=&sc=r&st=desc&pi=1&pn=20&zf=diy&sh=list&rnd=", kTotalsRnd}));
}

std::string AllFundsPageUrl(const net::PortalUrls& urls, int page) {
  return FundGuide(urls, Cat({"dt=4&sd=&ed=&sc=3y&st=desc&pi=", Page(page),
                              "&pn=20&zf=diy&sh=list&rnd=", kAllFundsRnd}));
}

std::string BoardFundsCountUrl(const net::PortalUrls& urls, long long board_number) {
  return BoardFundsPageUrl(urls, board_number, "3y", "desc", 1);
}

std::string BoardFundsPageUrl(const net::PortalUrls& urls, long long board_number,
                              std::string_view sort_code, std::string_view order, int page) {
  return FundGuide(
      urls, Cat({"dt=4&sd=&ed=&tp=BK0", base::IntToText(board_number), "&sc=", sort_code,
                 "&st=", order, "&pi=", Page(page), "&pn=20&zf=diy&sh=list&rnd=", kBoardRnd}));
}

FundRecord CutFundRecord(std::string_view text) {
  FundRecord record;
  const std::vector<std::string> fields = base::Split(text, ",");
  for (size_t i = 0; i < fields.size() && i < std::size(kFundRecordFields); ++i) {
    record.*kFundRecordFields[i] = fields[i];
  }
  return record;
}

FundListPage CutFundListPage(std::string_view body) {
  script::JsonObject list;
  list.Parse(base::TextRightOfLast(body, "var rankData ="));  // on failure it stays empty
  FundListPage page;
  const int count = list.GetCount("datas");
  for (int i = 0; i < count; ++i) {
    page.records.push_back(CutFundRecord(list.GetText("datas[" + base::IntToText(i) + "]")));
  }
  page.all_pages = list.GetNumber("allPages");
  page.datacount = list.GetNumber("datacount");
  page.marked = list.Has("datas");
  return page;
}

std::optional<FundListPage> FetchFundListPage(const std::string& url,
                                              net::TransferControl* control) {
  const std::optional<std::string> answer = net::GetAnswerText(url, control, kFundListMaxBytes);
  if (!answer) return std::nullopt;
  return CutFundListPage(*answer);
}

}  // namespace portal
