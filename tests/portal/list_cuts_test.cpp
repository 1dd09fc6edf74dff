// The cuts of the list-like answers: a FundGuide page, the search hits, the board ranking and
// the comparison series, each with its markers present and missing.

#include <gtest/gtest.h>

#include "portal/board_ranking.h"
#include "portal/fund_list.h"
#include "portal/fund_search.h"
#include "portal/jsonp.h"
#include "portal/yield_comparison.h"

namespace portal {
namespace {

TEST(ListCutsTest, FundListPageTakesTheLastRankDataObject) {
  const FundListPage page = CutFundListPage(
      "var rankData = {datas:[\"bad\"]}; var rankData = {datas:[\"000001,甲\",\"000002,乙\"],"
      "allPages:7,datacount:130};");
  ASSERT_EQ(2u, page.records.size());
  EXPECT_EQ("000001", page.records[0].code);
  EXPECT_EQ("甲", page.records[0].name);
  EXPECT_EQ("000002", page.records[1].code);
  EXPECT_EQ("乙", page.records[1].name);
  EXPECT_EQ(7, page.all_pages);
  EXPECT_EQ(130, page.datacount);
  EXPECT_TRUE(page.marked);

  const FundListPage none = CutFundListPage("<html>error</html>");
  EXPECT_TRUE(none.records.empty());
  EXPECT_FALSE(none.marked);
  EXPECT_EQ(0, none.all_pages);
  EXPECT_FALSE(CutFundListPage("var rankData = {allPages:3}").marked);
}

// A record is cut once, at every comma: empty fields count, missing ones are empty, extra ones
// are dropped, and texts are kept as they are.
TEST(ListCutsTest, FundRecordFieldsByPosition) {
  std::string full;
  for (int i = 0; i < 22; ++i) full += (i ? "," : "") + std::to_string(i);
  struct Case {
    std::string text;
    std::string code, name, type, this_year, nav_date, unit_nav, day_change, discounted;
  };
  const Case cases[] = {
      {full, "0", "1", "3", "4", "15", "16", "17", "21"},
      {full + ",22,23", "0", "1", "3", "4", "15", "16", "17", "21"},
      {"000002,短记录基金,DJL,债券型,1.5", "000002", "短记录基金", "债券型", "1.5", "", "", "", ""},
      {",,,,,,,,,,,,,,,,,", "", "", "", "", "", "", "", ""},
      {"", "", "", "", "", "", "", "", ""},
      {"a, b ,,x%,--", "a", " b ", "x%", "--", "", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const FundRecord r = CutFundRecord(c.text);
    EXPECT_EQ(c.code, r.code);
    EXPECT_EQ(c.name, r.name);
    EXPECT_EQ(c.type, r.type);
    EXPECT_EQ(c.this_year, r.this_year);
    EXPECT_EQ(c.nav_date, r.nav_date);
    EXPECT_EQ(c.unit_nav, r.unit_nav);
    EXPECT_EQ(c.day_change, r.day_change);
    EXPECT_EQ(c.discounted, r.discounted);
  }
}

TEST(ListCutsTest, SearchHitsStopAtTheirClosingMarker) {
  const std::string answer = std::string(kFundSearchCallback) +
                             "({\"Datas\":[{\"_id\":\"005669\",\"NAME\":\"前海(开源)\"},"
                             "{\"_id\":\"000001\",\"NAME\":\"华夏\"}]});junk]})";
  const std::vector<SearchHit> hits = CutSearchHits(answer);
  ASSERT_EQ(2u, hits.size());
  EXPECT_EQ("005669", hits[0].code);
  EXPECT_EQ("前海(开源)", hits[0].name);
  EXPECT_EQ("华夏", hits[1].name);
  // Another callback name is not this answer.
  EXPECT_TRUE(CutSearchHits("jQuery1({\"Datas\":[{\"_id\":\"1\"}]})").empty());
}

TEST(ListCutsTest, BoardRankingIsDecodedThenCut) {
  const std::string answer = std::string(kBoardRankingCallback) +
                             "({\"Data\":[{\"BKName\":\"%E9%93%B6%E8%A1%8C\",\"BKCode\":\"BK0478\","
                             "\"SYL_Q\":\"12.346\"},{\"BKName\":\"b\",\"BKCode\":\"BK01\"}]})";
  const std::vector<Board> boards = CutBoardRanking(answer, "SYL_Q");
  ASSERT_EQ(2u, boards.size());
  EXPECT_EQ("银行", boards[0].name);
  EXPECT_EQ("BK0478", boards[0].code);
  EXPECT_EQ("12.346", boards[0].yield);
  EXPECT_EQ("", boards[1].yield);
  EXPECT_TRUE(CutBoardRanking("{\"Data\":[{\"BKName\":\"x\"}]}", "SYL_Q").empty());
}

TEST(ListCutsTest, JsonpCutsKeepTheirMarkers) {
  EXPECT_EQ("{\"a\":[1]}", JsonpBetween("cb({\"a\":[1]});cb(]})", "cb", "]}"));
  EXPECT_EQ("]}", JsonpBetween("other({\"a\":[1]})", "cb", "]}"));
  EXPECT_EQ("{\"n\":\"a(b)\"}", JsonpBody("cb({\"n\":\"a(b)\"});"));
  EXPECT_EQ("", JsonpBody(")("));
  EXPECT_TRUE(HasCallback("x cb({})", "cb"));
  EXPECT_FALSE(HasCallback("cb {}", "cb"));
}

TEST(ListCutsTest, ComparisonSeriesLosesItsEscapes) {
  const std::string answer =
      "cb({\"Datas\":\"{\\\"dataProvider\\\": [{ \\\"date\\\": \\\"2021/08/20\\\"}]}\","
      "\"ErrCode\":0});";
  EXPECT_EQ("{ \"date\": \"2021/08/20\"}", CutComparisonSeries(answer));
  EXPECT_EQ("", CutComparisonSeries("cb({\"Datas\":null,\"ErrCode\":-999});"));
}

}  // namespace
}  // namespace portal
