#include "sim/fund_guide.h"

#include <gtest/gtest.h>

#include <set>

#include "base/text.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "portal/fund_list.h"
#include "script/json_object.h"
#include "sim/server.h"

namespace sim {
namespace {

// Field of a FundGuide record that holds the figure each sort code sorts by.
int FieldOfSortCode(const std::string& code) {
  static const std::map<std::string, int> fields = {{"r", 17}, {"z", 5},   {"1y", 6},
                                                    {"3y", 7}, {"6y", 8},  {"jn", 4},
                                                    {"1n", 9}, {"2n", 10}, {"3n", 11}};
  return fields.at(code);
}

struct Page {
  std::vector<std::vector<std::string>> records;
  int all_pages = -1;
  int data_count = -1;
};

class FundGuideTest : public ::testing::Test {
 protected:
  static PortalSimOptions Options() {
    PortalSimOptions options;
    options.market.funds = 230;
    options.market.boards = 12;
    return options;
  }
  void SetUp() override {
    ASSERT_GT(sim_.Start(), 0);
    urls_ = net::PortalUrls::Load([this](std::string_view key) {
      return key == "PORTAL_MAIN" ? sim_.BaseUrl() : std::string();
    });
  }

  // Fetches and reads a list the way the fund lists do: the literal after "var rankData =".
  Page Fetch(const std::string& url) {
    net::HttpFetchResult result = net::HttpGet(url, nullptr, portal::kFundListMaxBytes);
    EXPECT_EQ("200 OK", result.status) << url;
    script::JsonObject list;
    EXPECT_TRUE(list.Parse(base::TextRightOfLast(result.text, "var rankData ="))) << result.text;
    Page page;
    for (int i = 0; i < list.GetCount("datas"); ++i) {
      page.records.push_back(base::Split(list.GetText("datas[" + std::to_string(i) + "]"), ","));
    }
    page.all_pages = static_cast<int>(base::ToNumber(list.GetText("allPages")));
    page.data_count = static_cast<int>(base::ToNumber(list.GetText("datacount")));
    return page;
  }
  std::string Query(const std::string& query) {
    return sim_.BaseUrl() + kFundGuidePath + "?" + query;
  }

  PortalSim sim_{Options()};
  net::PortalUrls urls_;
};

TEST_F(FundGuideTest, EverySortCodeOrdersBothWaysWithEmptyFiguresLast) {
  for (const std::string_view code : kSortCodes) {
    for (const bool ascending : {false, true}) {
      const Page page = Fetch(Query("dt=4&sd=&ed=&sc=" + std::string(code) +
                                    "&st=" + (ascending ? "asc" : "desc") + "&pi=1&pn=1000"));
      ASSERT_EQ(230u, page.records.size());
      const int field = FieldOfSortCode(std::string(code));
      bool empty_seen = false;
      double previous = ascending ? -1e300 : 1e300;
      for (const auto& record : page.records) {
        ASSERT_GE(record.size(), 18u);
        if (record[field].empty()) {
          empty_seen = true;
          continue;
        }
        EXPECT_FALSE(empty_seen) << code << ": a figure after an empty one";
        const double value = base::ToNumber(record[field]);
        if (ascending) {
          EXPECT_LE(previous, value) << code;
        } else {
          EXPECT_GE(previous, value) << code;
        }
        previous = value;
      }
    }
  }
}

TEST_F(FundGuideTest, PagesOfTwentySplitTheWholeListWithoutGapsOrRepeats) {
  const Page whole = Fetch(Query("dt=4&sd=&ed=&sc=3y&st=desc&pi=1&pn=1000"));
  const Page first = Fetch(portal::AllFundsTotalsUrl(urls_));
  EXPECT_EQ(230, first.data_count);
  EXPECT_EQ(12, first.all_pages);  // 11 full pages and one of 10
  EXPECT_EQ(20u, first.records.size());

  std::vector<std::vector<std::string>> joined;
  for (int page = 1; page <= 12; ++page) {
    const Page part = Fetch(portal::AllFundsPageUrl(urls_, page));
    EXPECT_EQ(page == 12 ? 10u : 20u, part.records.size()) << page;
    joined.insert(joined.end(), part.records.begin(), part.records.end());
  }
  EXPECT_EQ(whole.records, joined);
  EXPECT_EQ(0u, Fetch(portal::AllFundsPageUrl(urls_, 13)).records.size());
}

TEST_F(FundGuideTest, FiveStarFilterKeepsOnlyFiveStarFunds) {
  std::set<std::string> expected;
  for (const Fund& fund : sim_.market().funds()) {
    if (fund.rating == 5) expected.insert(fund.code);
  }
  ASSERT_FALSE(expected.empty());
  const Page count = Fetch(portal::FiveStarCountUrl(urls_));
  EXPECT_EQ(static_cast<int>(expected.size()), count.data_count);
  std::set<std::string> got;
  for (int page = 1; page <= count.all_pages; ++page) {
    for (const auto& record : Fetch(portal::FiveStarPageUrl(urls_, page)).records) {
      got.insert(record[0]);
    }
  }
  EXPECT_EQ(expected, got);
}

TEST_F(FundGuideTest, BoardFilterKeepsTheBoardsMembersAndUnknownBoardsAreEmpty) {
  const Board& board = sim_.market().boards()[2];
  std::set<std::string> expected;
  for (int f : board.funds) expected.insert(sim_.market().funds()[f].code);
  const Page page = Fetch(portal::BoardFundsPageUrl(urls_, board.number, "r", "asc", 1));
  EXPECT_EQ(static_cast<int>(expected.size()), page.data_count);
  std::set<std::string> got;
  for (int p = 1; p <= page.all_pages; ++p) {
    for (const auto& record :
         Fetch(portal::BoardFundsPageUrl(urls_, board.number, "r", "asc", p)).records) {
      got.insert(record[0]);
    }
  }
  EXPECT_EQ(expected, got);

  const Page empty = Fetch(portal::BoardFundsCountUrl(urls_, 0));
  EXPECT_EQ(0, empty.data_count);
  EXPECT_EQ(0, empty.all_pages);
  EXPECT_EQ(0u, empty.records.size());
  const Board& last = sim_.market().boards().back();
  EXPECT_EQ(0, Fetch(portal::BoardFundsCountUrl(urls_, last.number)).data_count);
}

TEST_F(FundGuideTest, RequestsAreRecordedAsSent) {
  sim_.requests().Clear();
  Fetch(portal::FiveStarSortedPageUrl(urls_, "2n", "asc", 3));
  const std::vector<RecordedRequest> requests = sim_.requests().Snapshot();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("GET", requests[0].method);
  EXPECT_EQ(kFundGuidePath, requests[0].path);
  EXPECT_EQ(
      "/data/FundGuideapi.aspx?dt=4&sd=&ed=&rt=sz,5&sc=2n&st=asc&pi=3&pn=20&zf=diy&sh=list"
      "&rnd=0.01942454964583651",
      requests[0].target);
  EXPECT_EQ("zh-cn", requests[0].Header("accept-language"));
  sim_.requests().Clear();
  EXPECT_EQ(0u, sim_.requests().Count());
}

}  // namespace
}  // namespace sim
