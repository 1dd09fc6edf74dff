#include "sim/fund_pages.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "portal/fund_page.h"
#include "portal/fund_profile.h"
#include "script/regex_object.h"
#include "sim/server.h"

namespace sim {
namespace {

// Text in front of the first `marker`, empty when it does not occur.
std::string Before(const std::string& text, const std::string& marker) {
  const size_t at = text.find(marker);
  return at == std::string::npos ? "" : text.substr(0, at);
}

// Every match of `pattern` in `subject` with the `remove` texts taken out.
std::vector<std::string> Matches(const std::string& pattern, const std::string& subject,
                                 const std::vector<std::string>& remove) {
  script::RegexObject regex;
  EXPECT_TRUE(regex.Create(pattern, subject));
  std::vector<std::string> out;
  for (int i = 1; i <= regex.Count(); ++i) {
    std::string text = regex.MatchText(i);
    for (const std::string& r : remove) text = base::ReplaceAll(text, r, "");
    out.push_back(text);
  }
  return out;
}

class FundPagesTest : public ::testing::Test {
 protected:
  static PortalSimOptions Options() {
    PortalSimOptions options;
    options.market.funds = 200;
    options.market.boards = 3;
    return options;
  }
  void SetUp() override {
    ASSERT_GT(sim_.Start(), 0);
    urls_ = net::PortalUrls::Load([this](std::string_view) { return sim_.BaseUrl(); });
  }
  std::string Get(const std::string& url, const std::string& headers = {}) {
    const net::HttpFetchResult result = net::HttpFetch({.url = url, .extra_headers = headers});
    EXPECT_EQ("200 OK", result.status) << url;
    return result.text;
  }
  const std::vector<Fund>& funds() const { return sim_.market().funds(); }

  PortalSim sim_{Options()};
  net::PortalUrls urls_;
};

TEST_F(FundPagesTest, MainPageMarkersCutTheFundsHeadlineFigures) {
  bool six_periods = false;
  for (size_t i = 0; i < funds().size(); i += 3) {
    const Fund& fund = funds()[i];
    const std::string page = Get(portal::FundMainPageUrl(urls_, fund.code));
    const std::string stage = base::TextBetween(
        page, "<div class=\"typeName\">阶段涨幅</div></td><td>  <div class=\"Rdata ui-color",
        "</td> </tr><tr><td>  <div class=\"typeName\">同类平均<div class=");
    const std::string nav =
        base::TextBetween(page, "单位净值</a></span> (</span>", "</span></dd><dd><span>近3月");
    EXPECT_EQ(fund.nav_date, Before(nav, ")</p></dt><dd class")) << fund.code;
    EXPECT_EQ(UnitNavText(fund), base::TextBetween(nav, "ui-num\">", "</span><span class="));
    const std::string day_part = base::TextRightOfLast(nav, "</span><span class=");
    EXPECT_EQ(DayChangeText(fund), base::TextRightOfLast(day_part, "\">")) << fund.code;
    const std::string type = base::TextBetween(page, "基金类型：<", "</a>&nbsp");
    EXPECT_EQ(fund.type, base::TextRightOfLast(type, ">"));
    const std::vector<std::string> periods =
        Matches("bold\">.*?</div>", stage, {"bold\">", "</div>"});
    EXPECT_EQ(PeriodTexts(fund), periods) << fund.code;
    if (fund.growth[8]) {
      EXPECT_EQ(FormatGrowth(fund.growth[8]) + "%", periods.back());
    }
    six_periods |= periods.size() == 6;
    // Bold figures outside the period row: a cut over the whole page finds more.
    EXPECT_GT(Matches("bold\">.*?</div>", page, {}).size(), periods.size() + 8);
  }
  EXPECT_TRUE(six_periods);

  // The request text's trailing blank may also arrive encoded; unknown codes are not found.
  httplib::Client client(sim_.BaseUrl());
  const std::string code = funds()[0].code;
  ASSERT_TRUE(client.Get("/" + code + ".html?spm=search%20"));
  EXPECT_EQ(200, client.Get("/" + code + ".html?spm=search%20")->status);
  EXPECT_EQ(200, client.Get("/jbgk_" + code + ".html%20")->status);
  EXPECT_EQ(200, client.Get("/tsdata_" + code + ".html%20")->status);
  EXPECT_EQ(404, client.Get("/999999.html?spm=search%20")->status);
  EXPECT_EQ(404, client.Get("/jjjl_12345.html")->status);
}

TEST_F(FundPagesTest, ProfilePagesCutToTheFundsDetail) {
  int without_manager = 0, co_managed = 0, unrated = 0, two_per_row = 0;
  for (size_t i = 0; i < 30; ++i) {
    const Fund& fund = funds()[i];
    const FundDetail detail = DetailOf(sim_.market(), fund);
    ASSERT_EQ(static_cast<int>(i), detail.index);

    const std::string size_page = Get(portal::FundSizePageUrl(urls_, fund.code));
    EXPECT_EQ(detail.size,
              base::TextBetween(size_page, "<tr><th>资产规模</th><td>", "亿元（截止至"));

    const std::string manager_page = Get(portal::FundManagerPageUrl(urls_, fund.code));
    script::RegexObject regex;
    regex.Create(
        "<th>任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>.*?</a> </td><td>.*?</td>"
        "</tr>",
        manager_page);
    const std::string row = regex.MatchText(1);
    const std::string tail = base::TextBetween(row, "</td><td class=", "</tr>");
    const std::string tenure = base::TextBetween(row, "</a> </td><td>", "</td><td class=");
    EXPECT_EQ(detail.manager ? detail.manager->tenure_return : "",
              base::TextBetween(tail, ">", "</td>"));
    EXPECT_EQ(detail.manager ? detail.manager->tenure : "", tenure);
    EXPECT_EQ(i % 7 == 3, !detail.manager.has_value());
    without_manager += !detail.manager;
    co_managed += detail.manager && detail.manager->names.find("、") != std::string::npos;

    const std::string rating =
        Get(portal::FundRatingUrl(urls_, fund.code), portal::FundRatingHeaders(urls_, fund.code));
    EXPECT_EQ(detail.rating, base::TextBetween(rating, "\"SZPJ3\":\"", "\",\"ZSPJ5"));
    EXPECT_EQ(fund.rating == 0, detail.rating.empty());
    unrated += detail.rating.empty();

    const std::string risk = Get(portal::FundRiskPageUrl(urls_, fund.code));
    const std::string segment = base::TextBetween(risk, "<th class=\"num\">近3年</th>\r\n",
                                                  "<div class=\"limit-time\">截止至：");
    EXPECT_EQ(detail.stats, Matches("class='num'>.*?</td>", segment, {"class='num'>", "</td>"}));
    EXPECT_EQ(static_cast<size_t>(2 * detail.stats_per_row), detail.stats.size());
    two_per_row += detail.stats_per_row == 2;
  }
  EXPECT_GT(without_manager, 0);
  EXPECT_GT(co_managed, 0);
  EXPECT_GT(unrated, 0);
  EXPECT_GT(two_per_row, 0);

  // The rating answer needs the fund's rating page as Referer, which the request log shows.
  const Fund& rated =
      *std::find_if(funds().begin(), funds().end(), [](const Fund& f) { return f.rating > 0; });
  sim_.requests().Clear();
  const std::string hot_linked = Get(portal::FundRatingUrl(urls_, rated.code));
  EXPECT_EQ(std::string::npos, hot_linked.find("SZPJ3"));
  EXPECT_EQ(0u, hot_linked.find(std::string(portal::kFundRatingCallback) + "({\"Data\":[]"));
  Get(portal::FundRatingUrl(urls_, rated.code), portal::FundRatingHeaders(urls_, rated.code));
  const std::vector<RecordedRequest> requests = sim_.requests().Snapshot();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ(urls_.portal_f10 + "/jjpj_" + rated.code + ".html", requests[1].Header("Referer"));
  EXPECT_NE(std::string::npos, requests[1].Header("User-Agent").find("QQBrowser"));
}

TEST(FundDetailTest, SameSeedGivesSameDetailAndOtherSeedAnother) {
  MarketOptions options;
  options.funds = 50;
  const Market first(options), second(options);
  options.seed += 1;
  const Market other(options);
  int differing = 0;
  for (size_t i = 0; i < first.funds().size(); ++i) {
    const FundDetail a = DetailOf(first, first.funds()[i]);
    const FundDetail b = DetailOf(second, second.funds()[i]);
    EXPECT_EQ(a.size, b.size);
    EXPECT_EQ(a.stats, b.stats);
    EXPECT_EQ(a.holdings.size(), b.holdings.size());
    EXPECT_EQ(a.holdings.back().stock.code, b.holdings.back().stock.code);
    EXPECT_EQ(FundMainPage(first, first.funds()[i]), FundMainPage(second, second.funds()[i]));
    differing += a.size != DetailOf(other, other.funds()[i]).size;
  }
  EXPECT_GT(differing, 40);
}

}  // namespace
}  // namespace sim
