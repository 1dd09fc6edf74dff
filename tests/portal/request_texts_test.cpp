#include <gtest/gtest.h>

#include <map>

#include "net/portal.h"
#include "portal/board_ranking.h"
#include "portal/fund_list.h"
#include "portal/fund_page.h"
#include "portal/fund_profile.h"
#include "portal/fund_search.h"
#include "portal/holdings.h"
#include "portal/yield_comparison.h"

namespace portal {
namespace {

using net::PortalUrls;

PortalUrls Sample() {
  std::map<std::string, std::string, std::less<>> values = {
      {"PORTAL_MAIN", "http://main.test"},  {"PORTAL_API", "http://api.test"},
      {"PORTAL_F10", "http://f10.test"},    {"PORTAL_PUSH", "https://push.test"},
      {"PORTAL_SUGGEST", "http://s.test"},  {"PORTAL_DATA", "http://data.test"},
      {"FORUM_BASE", "https://forum.test"}, {"STEP_BASE", "https://step.test"}};
  return PortalUrls::Load([&](std::string_view key) {
    auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
  });
}

TEST(PortalTest, FundGuideRequestsCarryTheirFixedQueryTexts) {
  const PortalUrls urls = Sample();
  const std::string base = "http://main.test/data/FundGuideapi.aspx?dt=4&sd=&ed=&";
  EXPECT_EQ(base + "sc=r&st=asc&pi=1&pn=20&zf=diy&sh=list&rnd=0.9509419468855504",
            RankingListUrl(urls, "r", "asc"));
  EXPECT_EQ(base + "rt=sz,5&sc=jn&st=desc&pi=1&pn=20&zf=diy&sh=list&rnd=0.01942454964583651",
            FiveStarCountUrl(urls));
  EXPECT_EQ(base + "rt=sz,5&sc=jn&st=desc&pi=3&pn=20&zf=diy&sh=list&rnd=0.01942454964583651",
            FiveStarPageUrl(urls, 3));
  EXPECT_EQ(base + "rt=sz,5&sc=2n&st=asc&pi=12&pn=20&zf=diy&sh=list&rnd=0.01942454964583651",
            FiveStarSortedPageUrl(urls, "2n", "asc", 12));
  EXPECT_EQ(base + "sc=r&st=desc&pi=1&pn=20&zf=diy&sh=list&rnd=0.9027817428207583",
            AllFundsTotalsUrl(urls));
  EXPECT_EQ(base + "sc=3y&st=desc&pi=357&pn=20&zf=diy&sh=list&rnd=0.6066118187338245",
            AllFundsPageUrl(urls, 357));
  EXPECT_EQ(base + "tp=BK0478&sc=3y&st=desc&pi=1&pn=20&zf=diy&sh=list&rnd=0.6496325281618789",
            BoardFundsCountUrl(urls, 478));
  EXPECT_EQ(base + "tp=BK00&sc=1y&st=desc&pi=2&pn=20&zf=diy&sh=list&rnd=0.6496325281618789",
            BoardFundsPageUrl(urls, 0, "1y", "desc", 2));
}

TEST(PortalTest, OtherEndpointsKeepCallbacksLiteralsAndTrailingBlanks) {
  const PortalUrls urls = Sample();
  EXPECT_EQ(
      "http://api.test/ztjj/GetZTJJList?callback=jQuery18304518781773802629_1629802165289"
      "&tt=0&dt=syl&st=Y&_=1629802165339",
      BoardRankingUrl(urls, "Y"));
  EXPECT_EQ("Referer: http://main.test/ztjj/", BoardRankingReferer(urls));
  EXPECT_EQ(
      "http://s.test/FundSearch/api/FundSearchAPI.ashx?callback="
      "jQuery18304481644478480933_1628571546744&m=1&key=%E5%8D%8E&_=1628571587137",
      FundSearchUrl(urls, "%E5%8D%8E"));
  EXPECT_EQ("http://main.test/005669.html?spm=search ", FundMainPageUrl(urls, "005669"));
  EXPECT_EQ("http://f10.test/jbgk_005669.html ", FundSizePageUrl(urls, "005669"));
  EXPECT_EQ("http://f10.test/jjjl_005669.html", FundManagerPageUrl(urls, "005669"));
  EXPECT_EQ("http://f10.test/tsdata_005669.html ", FundRiskPageUrl(urls, "005669"));
  EXPECT_EQ(
      "http://api.test/F10/JJPJ/?callback=jQuery18306281225327741644_1628052779735"
      "&fundcode=005669&pageIndex=1&pageSize=50&_=1628052779751",
      FundRatingUrl(urls, "005669"));
  EXPECT_EQ(
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like "
      "Gecko) Chrome/70.0.3538.25 Safari/537.36 Core/1.70.3868.400 "
      "QQBrowser/10.8.4394.400\r\nAccept: */*\r\nReferer: http://f10.test/jjpj_005669.html",
      FundRatingHeaders(urls, "005669"));
  EXPECT_EQ(
      "http://f10.test/FundArchivesDatas.aspx?type=jjcc&code=005669&topline=10&year="
      "&month=&rt=0.12776095035691926",
      HoldingsArchiveUrl(urls, "005669"));
  EXPECT_EQ(
      "https://push.test/api/qt/ulist.np/get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9&cb="
      "jQuery18306105309008007134_1628074711632&ut=5b1c0e7a9d3f4a2b8c6e0f1d2a3b4c5d"
      "&secids=1.600519,0.000858,&_=1628074711810",
      StockQuotesUrl(urls, "1.600519,0.000858"));
  EXPECT_EQ("http://data.test/gdhs/detail/600519.html", ShareholderPageUrl(urls, "600519"));
  EXPECT_EQ(
      "http://api.test/FundCompare/LJSYL?bzdm=005669,005939&c=jn&callback="
      "jQuery18307015471687350752&_=1628388758953",
      YieldComparisonUrl(urls, "005669,005939", "jn"));
  EXPECT_EQ("Referer: http://main.test/compare/?code=005669,005939", YieldComparisonReferer(urls));
}

}  // namespace
}  // namespace portal
