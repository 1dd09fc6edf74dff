#include <gtest/gtest.h>

#include <cctype>

#include "base/encoding.h"
#include "base/text.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "portal/board_ranking.h"
#include "portal/fund_search.h"
#include "script/json_object.h"
#include "sim/board_ranking.h"
#include "sim/fund_search.h"
#include "sim/server.h"

namespace sim {
namespace {

class ListsServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(sim_.Start(), 0);
    urls_ = net::PortalUrls::Load([this](std::string_view) { return sim_.BaseUrl(); });
  }
  // The JSON inside the JSONP answer, with the escapes resolved.
  script::JsonObject Fetch(const std::string& url, const std::string& headers = "") {
    const std::string text =
        base::UrlDecode(net::HttpGet(url, nullptr, 1 << 20, headers).text, true);
    const size_t open = text.find('(');
    const size_t close = text.rfind(')');
    script::JsonObject json;
    EXPECT_TRUE(open < close && close != std::string::npos &&
                json.Parse(text.substr(open + 1, close - open - 1)))
        << text;
    return json;
  }

  static PortalSimOptions Options() {
    PortalSimOptions options;
    options.market.funds = 400;
    return options;
  }
  PortalSim sim_{Options()};
  net::PortalUrls urls_;
};

TEST_F(ListsServicesTest, RankingListsEveryBoardByThePeriodsYieldOnlyForTheRankingPage) {
  for (const std::string_view period : kBoardPeriods) {
    const script::JsonObject ranking =
        Fetch(portal::BoardRankingUrl(urls_, period), portal::BoardRankingReferer(urls_));
    ASSERT_EQ(130, ranking.GetCount("Data")) << period;
    double previous = 1e300;
    for (int i = 0; i < 130; ++i) {
      const std::string item = "Data[" + std::to_string(i) + "]";
      EXPECT_EQ(0u, ranking.GetText(item + ".BKCode").rfind("BK0", 0));
      EXPECT_FALSE(ranking.GetText(item + ".BKName").empty());
      const std::string yield = ranking.GetText(item + "['" + std::string(period) + "']");
      if (yield.empty()) continue;  // the empty board, last
      EXPECT_GE(previous, base::ToNumber(yield)) << period << " " << i;
      previous = base::ToNumber(yield);
    }
  }
  EXPECT_EQ(0, Fetch(portal::BoardRankingUrl(urls_, "SYL_Q")).GetCount("Data"));
}

TEST_F(ListsServicesTest, SearchMatchesCodePrefixNameAndInitials) {
  const Fund& fund = sim_.market().funds()[123];
  std::string initials = fund.abbreviation.substr(0, 4);
  for (char& c : initials) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string& key : {fund.code.substr(0, 4), fund.name, initials}) {
    const script::JsonObject found =
        Fetch(portal::FundSearchUrl(urls_, base::PercentEncode(key, true, true)));
    const int count = found.GetCount("Datas");
    ASSERT_GT(count, 0) << key;
    EXPECT_LE(count, kMaxSearchResults);
    bool listed = false;
    for (int i = 0; i < count; ++i) {
      listed |= found.GetText("Datas[" + std::to_string(i) + "]['_id']") == fund.code;
    }
    EXPECT_TRUE(listed || count == kMaxSearchResults) << key;
  }
  EXPECT_EQ(0, Fetch(portal::FundSearchUrl(urls_, "%E6%97%A0%E6%AD%A4%E5%9F%BA%E9%87%91"))
                   .GetCount("Datas"));
}

}  // namespace
}  // namespace sim
