#include "net/portal.h"

#include "base/text.h"

namespace net {
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

std::string FundGuide(const PortalUrls& urls, std::string_view query) {
  return Cat({urls.portal_main, kFundGuidePath, "?", query});
}

std::string Clean(std::string value) {
  value = base::TrimBlanks(value);
  while (!value.empty() && value.back() == '/') value.pop_back();
  return value;
}

}  // namespace

PortalUrls PortalUrls::BuiltIn() {
  PortalUrls urls;
  urls.portal_main = FUNDVIEW_PORTAL_MAIN;
  urls.portal_api = FUNDVIEW_PORTAL_API;
  urls.portal_f10 = FUNDVIEW_PORTAL_F10;
  urls.portal_push = FUNDVIEW_PORTAL_PUSH;
  urls.portal_suggest = FUNDVIEW_PORTAL_SUGGEST;
  urls.portal_data = FUNDVIEW_PORTAL_DATA;
  urls.forum_base = FUNDVIEW_FORUM_BASE;
  urls.step_base = FUNDVIEW_STEP_BASE;
  return urls;
}

PortalUrls PortalUrls::Load(
    const std::function<std::string(std::string_view key)>& override_lookup) {
  PortalUrls urls = BuiltIn();
  if (!override_lookup) return urls;
  std::string* fields[] = {&urls.portal_main, &urls.portal_api,     &urls.portal_f10,
                           &urls.portal_push, &urls.portal_suggest, &urls.portal_data,
                           &urls.forum_base,  &urls.step_base};
  for (size_t i = 0; i < std::size(kPortalUrlKeys); ++i) {
    std::string value = Clean(override_lookup(kPortalUrlKeys[i]));
    if (!value.empty()) *fields[i] = std::move(value);
  }
  return urls;
}

std::string RankingListUrl(const PortalUrls& urls, std::string_view sort_code,
                           std::string_view order) {
  return FundGuide(urls, Cat({"dt=4&sd=&ed=&sc=", sort_code, "&st=", order,
                              "&pi=1&pn=20&zf=diy&sh=list&rnd=", kRankingRnd}));
}

std::string FiveStarCountUrl(const PortalUrls& urls) { return FiveStarPageUrl(urls, 1); }

std::string FiveStarPageUrl(const PortalUrls& urls, int page) {
  return FiveStarSortedPageUrl(urls, "jn", "desc", page);
}

std::string FiveStarSortedPageUrl(const PortalUrls& urls, std::string_view sort_code,
                                  std::string_view order, int page) {
  return FundGuide(urls, Cat({"dt=4&sd=&ed=&rt=sz,5&sc=", sort_code, "&st=", order,
                              "&pi=", Page(page), "&pn=20&zf=diy&sh=list&rnd=", kFiveStarRnd}));
}

std::string AllFundsTotalsUrl(const PortalUrls& urls) {
  return FundGuide(urls,
                   Cat({"dt=4&sd=&ed=&sc=r&st=desc&pi=1&pn=20&zf=diy&sh=list&rnd=", kTotalsRnd}));
}

std::string AllFundsPageUrl(const PortalUrls& urls, int page) {
  return FundGuide(urls, Cat({"dt=4&sd=&ed=&sc=3y&st=desc&pi=", Page(page),
                              "&pn=20&zf=diy&sh=list&rnd=", kAllFundsRnd}));
}

std::string BoardFundsCountUrl(const PortalUrls& urls, long long board_number) {
  return BoardFundsPageUrl(urls, board_number, "3y", "desc", 1);
}

std::string BoardFundsPageUrl(const PortalUrls& urls, long long board_number,
                              std::string_view sort_code, std::string_view order, int page) {
  return FundGuide(
      urls, Cat({"dt=4&sd=&ed=&tp=BK0", base::IntToText(board_number), "&sc=", sort_code,
                 "&st=", order, "&pi=", Page(page), "&pn=20&zf=diy&sh=list&rnd=", kBoardRnd}));
}

std::string BoardRankingUrl(const PortalUrls& urls, std::string_view period_code) {
  return Cat({urls.portal_api, "/ztjj/GetZTJJList?callback=", kBoardRankingCallback,
              "&tt=0&dt=syl&st=", period_code, "&_=1629802165339"});
}

std::string BoardRankingReferer(const PortalUrls& urls) {
  return Cat({"Referer: ", urls.portal_main, "/ztjj/"});
}

std::string FundSearchUrl(const PortalUrls& urls, std::string_view encoded_key) {
  return Cat({urls.portal_suggest, "/FundSearch/api/FundSearchAPI.ashx?callback=",
              kFundSearchCallback, "&m=1&key=", encoded_key, "&_=1628571587137"});
}

std::string FundMainPageUrl(const PortalUrls& urls, std::string_view code) {
  return Cat({urls.portal_main, "/", code, ".html?spm=search "});
}

std::string FundSizePageUrl(const PortalUrls& urls, std::string_view code) {
  return Cat({urls.portal_f10, "/jbgk_", code, ".html "});
}

std::string FundManagerPageUrl(const PortalUrls& urls, std::string_view code) {
  return Cat({urls.portal_f10, "/jjjl_", code, ".html"});
}

std::string FundRiskPageUrl(const PortalUrls& urls, std::string_view code) {
  return Cat({urls.portal_f10, "/tsdata_", code, ".html "});
}

std::string FundRatingUrl(const PortalUrls& urls, std::string_view code) {
  return Cat({urls.portal_api, "/F10/JJPJ/?callback=", kFundRatingCallback, "&fundcode=", code,
              "&pageIndex=1&pageSize=50&_=1628052779751"});
}

std::string FundRatingHeaders(const PortalUrls& urls, std::string_view code) {
  // The template names one sample fund; every mention of it stands for the requested fund.
  std::string templ = Cat(
      {"User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/70.0.3538.25 Safari/537.36 Core/1.70.3868.400 QQBrowser/10.8.4394.400\r\n"
       "Accept: */*\r\n"
       "Referer: ",
       urls.portal_f10, "/jjpj_004139.html"});
  return base::ReplaceAll(templ, "004139", code);
}

std::string HoldingsArchiveUrl(const PortalUrls& urls, std::string_view code) {
  return Cat({urls.portal_f10, "/FundArchivesDatas.aspx?type=jjcc&code=", code,
              "&topline=10&year=&month=&rt=0.12776095035691926"});
}

std::string StockQuotesUrl(const PortalUrls& urls, std::string_view secids) {
  return Cat({urls.portal_push, "/api/qt/ulist.np/get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9&cb=",
              kStockQuotesCallback, "&ut=5b1c0e7a9d3f4a2b8c6e0f1d2a3b4c5d&secids=", secids,
              ",&_=1628074711810"});
}

std::string ShareholderPageUrl(const PortalUrls& urls, std::string_view stock_code) {
  return Cat({urls.portal_data, "/gdhs/detail/", stock_code, ".html"});
}

std::string YieldComparisonUrl(const PortalUrls& urls, std::string_view codes,
                               std::string_view period) {
  return Cat({urls.portal_api, "/FundCompare/LJSYL?bzdm=", codes, "&c=", period,
              "&callback=", kYieldCompareCallback, "&_=1628388758953"});
}

std::string YieldComparisonReferer(const PortalUrls& urls) {
  return Cat({"Referer: ", urls.portal_main, "/compare/?code=005669,005939"});
}

std::string ForumTaskUrl(const PortalUrls& urls) {
  return Cat({urls.forum_base, "/home.php?mod=task&do=apply&id=2"});
}

std::string StepPostingUrl(const PortalUrls& urls) {
  return Cat({urls.step_base, "/xm/app/ajax.php?c=add "});
}

}  // namespace net
