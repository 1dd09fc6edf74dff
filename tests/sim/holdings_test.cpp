#include "sim/holdings.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "portal/holdings.h"
#include "script/json_object.h"
#include "script/regex_object.h"
#include "sim/fund_detail.h"
#include "sim/server.h"

namespace sim {
namespace {

struct Quote {
  std::string code;
  std::string name;
};

class HoldingsTest : public ::testing::Test {
 protected:
  static PortalSimOptions Options() {
    PortalSimOptions options;
    options.market.funds = 120;
    options.market.boards = 3;
    return options;
  }
  void SetUp() override {
    ASSERT_GT(sim_.Start(), 0);
    urls_ = net::PortalUrls::Load([this](std::string_view) { return sim_.BaseUrl(); });
  }
  net::HttpFetchResult Get(const std::string& url) {
    net::HttpFetchResult result = net::HttpGet(url, nullptr, net::kMaxBodyBytes);
    EXPECT_EQ("200 OK", result.status) << url;
    return result;
  }
  // The quotes for `secids` as the JSONP cut reads them; nullopt when that cut is no JSON.
  std::optional<std::vector<Quote>> Quotes(const std::string& secids) {
    const std::string body = Get(portal::StockQuotesUrl(urls_, secids)).text;
    script::JsonObject json;
    if (!json.Parse(base::TextBetween(body, "(", ")"))) return std::nullopt;
    std::vector<Quote> quotes;
    for (int i = 0; i < json.GetCount("data.diff"); ++i) {
      const std::string item = "data.diff[" + std::to_string(i) + "]";
      quotes.push_back({json.GetText(item + ".f12"), json.GetText(item + ".f14")});
    }
    return quotes;
  }
  std::vector<std::string> Codes(const std::vector<Quote>& quotes) {
    std::vector<std::string> codes;
    for (const Quote& quote : quotes) codes.push_back(quote.code);
    return codes;
  }

  PortalSim sim_{Options()};
  net::PortalUrls urls_;
};

TEST_F(HoldingsTest, ArchiveAndQuotesPairIntoTheFundsHoldings) {
  int four = 0, bracketed = 0;
  for (size_t i = 0; i < 24; ++i) {
    const Fund& fund = sim_.market().funds()[i];
    const FundDetail detail = DetailOf(sim_.market(), fund);
    const std::string archive = Get(portal::HoldingsArchiveUrl(urls_, fund.code)).text;
    script::RegexObject shares;
    ASSERT_TRUE(shares.Create("档案</a></td><td class='tor'>.*?</td><td class='tor'>", archive));
    const std::string secids =
        base::TextBetween(archive, "<div class='hide' id='gpdmList'>", ",</div>");
    ASSERT_FALSE(secids.empty()) << fund.code;
    const std::optional<std::vector<Quote>> quotes = Quotes(secids);
    const bool has_bracket = i % 11 == 6;
    bracketed += has_bracket;
    if (has_bracket) {
      // The stock name's ")" ends the cut early, so the answer does not read as JSON.
      EXPECT_NE(std::string::npos, detail.holdings[2].stock.name.find(')'));
      EXPECT_FALSE(quotes.has_value()) << fund.code;
      continue;
    }
    ASSERT_TRUE(quotes.has_value()) << fund.code;
    ASSERT_EQ(detail.holdings.size(), quotes->size()) << fund.code;
    EXPECT_EQ(i % 9 == 4 ? 4u : 10u, quotes->size());
    four += quotes->size() == 4;
    for (size_t k = 0; k < quotes->size(); ++k) {
      const Holding& holding = detail.holdings[k];
      EXPECT_EQ(holding.stock.code, (*quotes)[k].code);
      EXPECT_EQ(holding.stock.name, (*quotes)[k].name);
      const std::string share =
          base::ReplaceAll(base::ReplaceAll(shares.MatchText(static_cast<int>(k) + 1),
                                            "档案</a></td><td class='tor'>", ""),
                           "</td><td class='tor'>", "");
      EXPECT_EQ(holding.share, share);
    }
    // The quarter before follows with its own table.
    EXPECT_EQ(2 * static_cast<int>(quotes->size()), shares.Count());
  }
  EXPECT_EQ(3, four);
  EXPECT_EQ(2, bracketed);
  EXPECT_EQ("var apidata={ content:\"\",arryear:[],curyear:0};",
            Get(portal::HoldingsArchiveUrl(urls_, "999999")).text);
}

TEST_F(HoldingsTest, QuoteOrderAndGapsFollowTheOptions) {
  const FundDetail detail = DetailOf(sim_.market(), sim_.market().funds()[0]);
  std::string secids;
  std::vector<std::string> codes;
  for (const Holding& holding : detail.holdings) {
    secids += (secids.empty() ? "" : ",") + SecId(holding.stock);
    codes.push_back(holding.stock.code);
  }
  EXPECT_EQ(codes, Codes(Quotes(secids).value()));

  sim_.SetQuoteOptions({.reversed = true});
  std::vector<std::string> reversed(codes.rbegin(), codes.rend());
  EXPECT_EQ(reversed, Codes(Quotes(secids).value()));

  sim_.SetQuoteOptions({.omit_code = codes[1]});
  std::vector<std::string> gap = codes;
  gap.erase(gap.begin() + 1);
  EXPECT_EQ(gap, Codes(Quotes(secids).value()));

  sim_.SetQuoteOptions({});
  // Unknown identifiers, and a Shanghai code asked for on the Shenzhen market, are left out.
  const Stock& shanghai =
      *std::find_if(Stocks().begin(), Stocks().end(), [](const Stock& s) { return s.market == 1; });
  EXPECT_EQ(
      std::vector<std::string>{codes[0]},
      Codes(Quotes("9.123456,0." + shanghai.code + ",1.654321," + SecId(detail.holdings[0].stock))
                .value()));
  const std::string empty = Get(portal::StockQuotesUrl(urls_, "")).text;
  EXPECT_EQ(std::string(portal::kStockQuotesCallback) + "(", empty.substr(0, empty.find('(') + 1));
  EXPECT_NE(std::string::npos, empty.find("\"data\":null"));

  const Stock& held = detail.holdings[0].stock;
  const net::HttpFetchResult page = Get(portal::ShareholderPageUrl(urls_, held.code));
  EXPECT_NE(std::string::npos, page.text.find(held.name + "(" + held.code + ")"));
  EXPECT_EQ(404, httplib::Client(sim_.BaseUrl()).Get("/gdhs/detail/999999.html")->status);
}

}  // namespace
}  // namespace sim
