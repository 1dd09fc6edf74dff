#include "funds/fund_lists.h"

#include <algorithm>

#include "funds/lists_fixture.h"
#include "sim/board_ranking.h"
#include "sim/fund_guide.h"

namespace {

using lists_test::ListsTest;

constexpr const char* kFiveStarFirstPage =
    "/data/FundGuideapi.aspx?dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1&pn=20&zf=diy&sh=list"
    "&rnd=0.01942454964583651";

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class FundListsTest : public ListsTest {
 protected:
  int FiveStarCount() {
    const auto& funds = sim_->market().funds();
    return static_cast<int>(std::count_if(funds.begin(), funds.end(),
                                          [](const sim::Fund& f) { return f.rating == 5; }));
  }
  void SetLoadAll(const std::string& value) {
    app().config().Write("加载数据", "是否全部加载", value);
  }
  // A click on the board window's position `k` after the three-month ranking has loaded.
  std::string OpenBoardAt(int k) {
    main().选择板块钮.Click();
    Settle();
    const std::string code = sim::RankBoards(sim_->market(), "SYL_Q").at(k - 1).board->code;
    board().PositionButton(k)->Click();
    Settle();
    return code;
  }
};

TEST_F(FundListsTest, FiveStarPagesFollowTheLoadAllSwitchAndTheTitleCountsRows) {
  const int total = FiveStarCount();
  const int pages = (total + 19) / 20;
  ASSERT_GE(pages, 3);
  ASSERT_NE(0, total % 20);  // a short last page

  for (const char* value : {"", "真 "}) {  // only the exact "真" loads every page
    SetLoadAll(value);
    sim_->requests().Clear();
    main().五星基金钮.Click();
    Settle();
    EXPECT_EQ((std::vector<std::string>{kFiveStarFirstPage, kFiveStarFirstPage}), Targets());
    EXPECT_EQ(20, FilledRows());
    EXPECT_EQ(pages * 20 + 1, grid().RowCount());
    EXPECT_EQ("五星基金加载完毕，共20支基金", main().Title());
  }

  SetLoadAll("真");
  sim_->requests().Clear();
  titles().clear();
  main().五星基金钮.Click();
  Settle();
  const std::vector<std::string> targets = Targets();
  ASSERT_EQ(static_cast<size_t>(pages + 1), targets.size());
  std::vector<std::string> expected_titles;
  for (int page = 1; page <= pages; ++page) {
    EXPECT_TRUE(Has(targets[page], "&sc=jn&st=desc&pi=" + std::to_string(page) + "&")) << page;
    expected_titles.push_back("五星基金正在加载第" + std::to_string(std::min(total, page * 20)) +
                              "条");
  }
  expected_titles.push_back("五星基金加载完毕，共" + std::to_string(total) + "支基金");
  EXPECT_EQ(expected_titles, titles());
  EXPECT_EQ(total, FilledRows());
  EXPECT_TRUE(main().选择板块钮.Enabled());
}

TEST_F(FundListsTest, HeaderResortRefusesWhileLoadingThenTogglesAcrossLists) {
  // The full download holds the grid.
  app().loads().SetBusy(app::LoadTarget::kFundGrid, true);
  funds().lists().BoardFreshClick = 1;
  grid().on_header_click(7);
  Settle();
  EXPECT_EQ(std::vector<std::string>{"数据加载中，请稍后再试"}, shown());
  EXPECT_EQ(1, funds().lists().BoardFreshClick);
  EXPECT_TRUE(Targets().empty());
  app().loads().SetBusy(app::LoadTarget::kFundGrid, false);

  // Nothing loaded since start-up: board number 0, largest first.
  grid().on_header_click(7);
  Settle();
  const std::vector<std::string> first = Targets();
  ASSERT_EQ(2u, first.size());
  EXPECT_TRUE(Has(first[0], "tp=BK00&sc=3y&st=desc&pi=1&")) << first[0];
  EXPECT_TRUE(Has(first[1], "tp=BK00&sc=1y&st=desc&pi=1&")) << first[1];
  EXPECT_EQ("板块加载失败，请重试", main().Title());

  main().五星基金钮.Click();

  Settle();
  grid().on_header_click(10);
  Settle();
  EXPECT_TRUE(Has(Targets().back(), "rt=sz,5&sc=jn&st=asc&pi=1&")) << Targets().back();
  grid().on_header_click(10);
  Settle();
  EXPECT_TRUE(Has(Targets().back(), "rt=sz,5&sc=jn&st=desc&pi=1&")) << Targets().back();
  const size_t before = Targets().size();
  grid().on_header_click(3);  // not a change column
  Settle();
  EXPECT_EQ(before, Targets().size());

  board().Show();
  const std::string code = OpenBoardAt(1);
  EXPECT_EQ(sim::RankBoards(sim_->market(), "SYL_Q")[0].board->code, code);
  EXPECT_TRUE(Has(Targets().back(), "tp=" + code + "&sc=3y&st=desc&pi=1&")) << Targets().back();
  grid().on_header_click(13);
  Settle();
  EXPECT_TRUE(Has(Targets().back(), "tp=" + code + "&sc=3n&st=asc&pi=1&")) << Targets().back();
  const std::string name = sim::RankBoards(sim_->market(), "SYL_Q")[0].board->name;
  EXPECT_EQ(0u, main().Title().rfind(name + "板块加载完毕，共", 0)) << main().Title();
  EXPECT_EQ(std::vector<std::string>{"数据加载中，请稍后再试"}, shown());
}

TEST_F(FundListsTest, FiveStarListOvertakenByARadioClickWritesNoMore) {
  SetLoadAll("真");
  sim::FaultOptions slow;
  slow.target_latency = {{"rt=sz,5&sc=jn&st=desc&pi=2&", 300}};
  sim_->SetFaults(slow);
  bool refused_while_loading = false;
  titles_->on_title = [this, &refused_while_loading](const std::string& title) {
    if (title != "五星基金正在加载第20条") return;
    // The list still loads: a re-sort is refused.
    grid().on_header_click(7);
    refused_while_loading = shown() == std::vector<std::string>{"数据加载中，请稍后再试"};
  };
  main().五星基金钮.Click();
  WaitForRequests(3, true);  // page 2 waits
  main().单选框1.Click();
  Settle();

  EXPECT_TRUE(refused_while_loading);
  EXPECT_EQ("昨日涨幅榜", main().Title());
  EXPECT_EQ("昨日涨幅榜", titles().back());
  EXPECT_EQ(4u, Targets().size());  // count, pages 1 and 2, the ranking; no page 3
  EXPECT_EQ(20, FilledRows());
  sim::FundGuideQuery gainers;
  gainers.sort_code = "r";
  EXPECT_EQ(sim_->market().funds()[sim::SelectFunds(sim_->market(), gainers)[0]].code,
            grid().Text(1, 1));
  EXPECT_TRUE(main().选择板块钮.Enabled());
}

TEST_F(FundListsTest, BoardListOvertakenStillEnablesTheBoardButtonAndPositionTenLoads) {
  board().Show();
  main().选择板块钮.Click();
  Settle();
  EXPECT_FALSE(main().选择板块钮.Enabled());
  const std::string code = sim::RankBoards(sim_->market(), "SYL_Q").at(9).board->code;
  sim::FaultOptions slow;
  slow.target_latency = {{"tp=" + code + "&sc=3y&st=desc&pi=1&", 300}};
  sim_->SetFaults(slow);
  sim_->requests().Clear();
  titles().clear();
  board().PositionButton(10)->Click();  // row 2, column 1
  WaitForRequests(1);
  main().单选框4.Click();
  Settle();

  EXPECT_EQ(sim::RankBoards(sim_->market(), "SYL_Q")[9].board->code, code);
  const std::vector<std::string> targets = Targets();
  ASSERT_EQ(2u, targets.size());  // the board's count request and the ranking; no page
  EXPECT_EQ(1, Has(targets[0], "tp=" + code + "&sc=3y&st=desc&pi=1&") +
                   Has(targets[1], "tp=" + code + "&sc=3y&st=desc&pi=1&"));
  EXPECT_EQ(0, funds().lists().resort.board_code);
  EXPECT_FALSE(board().Visible());
  EXPECT_EQ(std::vector<std::string>{"昨日跌幅榜"}, titles());
  EXPECT_TRUE(main().选择板块钮.Enabled());
}

}  // namespace
