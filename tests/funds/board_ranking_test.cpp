#include "funds/board_ranking.h"

#include "funds/lists_fixture.h"
#include "net/http_fetch_test_servers.h"
#include "sim/board_ranking.h"

namespace {

using lists_test::ListsTest;

constexpr const char* kThreeMonthRanking =
    "/ztjj/GetZTJJList?callback=jQuery18304518781773802629_1629802165289&tt=0&dt=syl&st=SYL_Q"
    "&_=1629802165339";

class BoardRankingTest : public ListsTest {
 protected:
  std::string Caption(int k) { return board().PositionButton(k)->Caption(); }
  bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
  }
};

TEST_F(BoardRankingTest, CreatedWindowLabelsEveryPositionInRankingOrder) {
  board().Show();
  Settle();
  const std::vector<sim::RecordedRequest> requests = sim_->requests().Snapshot();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ(kThreeMonthRanking, requests[0].target);
  EXPECT_EQ(sim_->BaseUrl() + "/ztjj/", requests[0].Header("Referer"));
  EXPECT_EQ("近3月板块涨跌幅排行", board().标签1.Caption());

  // Every other name arrives percent-escaped; the captions show them decoded.
  const std::vector<sim::BoardYields> ranked = sim::RankBoards(sim_->market(), "SYL_Q");
  ASSERT_GT(ranked.size(), 120u);
  for (int k = 1; k <= 120; ++k) {
    EXPECT_TRUE(StartsWith(Caption(k), ranked[k - 1].board->name + "\r\n")) << k << Caption(k);
    EXPECT_EQ('%', Caption(k).back()) << k;
    EXPECT_TRUE(board().PositionButton(k)->Visible()) << k;
  }

  // A period button reloads; showing the hidden window again does not.
  board().按钮112.Click();
  Settle();
  EXPECT_TRUE(sim_->requests().Snapshot().back().target.find("&st=SYL_W&") != std::string::npos);
  EXPECT_EQ("近1周板块涨跌幅排行", board().标签1.Caption());
  EXPECT_TRUE(StartsWith(Caption(1), sim::RankBoards(sim_->market(), "SYL_W")[0].board->name));
  board().Hide();
  board().Show();
  Settle();
  EXPECT_EQ(2u, sim_->requests().Count());
}

TEST_F(BoardRankingTest, PeriodClickedWhileTheFirstRankingWaitsWins) {
  sim::FaultOptions slow;
  slow.target_latency = {{"&st=SYL_Q&", 300}};
  sim_->SetFaults(slow);
  board().Show();
  WaitForRequests(1);
  board().按钮112.Click();
  Settle();

  EXPECT_EQ(2u, sim_->requests().Count());
  EXPECT_EQ("近1周板块涨跌幅排行", board().标签1.Caption());
  const std::vector<sim::BoardYields> week = sim::RankBoards(sim_->market(), "SYL_W");
  ASSERT_GT(week.size(), 120u);
  for (int k = 1; k <= 120; ++k) {
    EXPECT_TRUE(StartsWith(Caption(k), week[k - 1].board->name + "\r\n")) << k;
  }
}

TEST_F(BoardRankingTest, YieldsShowRoundedToTwoDecimalsAndUnfilledPositionsStayInert) {
  http_test::LoopbackServer canned;
  canned.server().Get("/ztjj/GetZTJJList", [](const httplib::Request&, httplib::Response& r) {
    r.set_content(
        "jQuery18304518781773802629_1629802165289({\"Data\":["
        "{\"BKName\":\"%E9%93%B6%E8%A1%8C\",\"BKCode\":\"BK0475\",\"SYL_Q\":12.346},"
        "{\"BKName\":\"保险\",\"BKCode\":\"BK0474\",\"SYL_Q\":-3.1},"
        "{\"BKName\":\"白酒\",\"BKCode\":\"BK0896\",\"SYL_Q\":5},"
        "{\"BKName\":\"空白\",\"BKCode\":\"BK0999\"},"
        "{\"BKName\":\"微跌\",\"BKCode\":\"BK0998\",\"SYL_Q\":-0.004}],\"TotalCount\":5})",
        "application/javascript; charset=utf-8");
  });
  canned.Start();
  UsePortal(canned.Url(""));
  board().Show();
  Settle();

  EXPECT_EQ("银行\r\n12.35%", Caption(1));
  EXPECT_EQ("保险\r\n-3.1%", Caption(2));
  EXPECT_EQ("白酒\r\n5%", Caption(3));
  EXPECT_EQ("空白\r\n0%", Caption(4));
  EXPECT_EQ("微跌\r\n0%", Caption(5));
  EXPECT_EQ(app::BoardWindow::DesignCaptionAt(6), Caption(6));
  EXPECT_FALSE(board().PositionButton(111)->Visible());
  board().PositionButton(6)->Click();
  Settle();
  EXPECT_TRUE(board().Visible());
  EXPECT_EQ("", main().Title());
}

TEST_F(BoardRankingTest, FailedRankingClosesTheWindowAndItsNextCreationLoadsAgain) {
  board().Show();
  Settle();
  sim::FaultOptions failing;
  failing.error_rate = 1;
  sim_->SetFaults(failing);
  board().按钮113.Click();
  Settle();
  EXPECT_EQ(std::vector<std::string>{"板块信息加载失败，请重试"}, shown());
  EXPECT_FALSE(board().Loaded());

  // No stale board: a click on a position opens nothing.
  sim_->SetFaults({});
  sim_->requests().Clear();
  board().PositionButton(1)->Click();
  Settle();
  EXPECT_EQ(0u, sim_->requests().Count());
  EXPECT_EQ("", main().Title());

  board().Show();
  Settle();
  ASSERT_EQ(1u, sim_->requests().Count());
  EXPECT_EQ(kThreeMonthRanking, sim_->requests().Snapshot()[0].target);
  EXPECT_EQ("近3月板块涨跌幅排行", board().标签1.Caption());
  EXPECT_EQ(sim::RankBoards(sim_->market(), "SYL_Q")[0].board->name + "\r\n",
            Caption(1).substr(0, Caption(1).find('\n') + 1));
}

}  // namespace
