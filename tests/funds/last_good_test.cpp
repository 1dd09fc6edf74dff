// The last good answers against the simulated portal: what a failed request shows instead, the
// title's note of when it arrived, and a cache that cannot be used.

#include "funds/last_good.h"

#include <chrono>
#include <filesystem>

#include "funds/fund_profile.h"
#include "funds/fund_summary.h"
#include "funds/lists_fixture.h"
#include "funds/watchlist.h"
#include "sim/board_ranking.h"
#include "sim/fund_detail.h"
#include "support/temp_dir.h"

namespace {

using lists_test::ListsTest;

constexpr base::DateTime kFirst{2021, 8, 8, 9, 5, 3};
constexpr base::DateTime kSecond{2021, 8, 9, 10, 0, 0};
constexpr base::DateTime kThird{2021, 8, 10, 11, 30, 0};
const std::string kFirstNote = "（离线数据 2021年8月8日9时5分3秒）";
const std::string kSecondNote = "（离线数据 2021年8月9日10时）";

// Each way a request fails: an error status, an error page that carries the normal body, a
// connection closed without an answer, a body cut short.
std::vector<sim::FaultOptions> Failures(const std::vector<std::string>& targets) {
  std::vector<sim::FaultOptions> failures(4);
  failures[0].fail_targets = targets;
  failures[1].fail_targets = targets;
  failures[1].error_keeps_body = true;
  failures[2].close_rate = 1;
  failures[3].truncate_rate = 1;
  return failures;
}

class LastGoodTest : public ListsTest {
 protected:
  LastGoodTest() { InstallDetail(); }

  void InstallDetail() {
    funds::InstallFundDetail(funds());
    funds::InstallFundPickers(funds(), {});
  }
  void SetClock(const base::DateTime& now) { fixture_->clock.Set(now); }
  // Rows 1..rows of the fund grid: every cell's text and colour.
  std::vector<std::string> Cells(int rows, const ui::Grid& of) {
    std::vector<std::string> cells;
    for (int row = 1; row <= rows; ++row) {
      for (int column = 0; column < of.ColumnCount(); ++column) {
        cells.push_back(of.Text(row, column) + "/" + std::to_string(of.TextColour(row, column)));
      }
    }
    return cells;
  }
  std::vector<std::string> Cells(int rows) { return Cells(rows, grid()); }
  bool Requested(const std::string& part) {
    for (const std::string& target : Targets()) {
      if (target.find(part) != std::string::npos) return true;
    }
    return false;
  }
  void OpenFromWatchlist(const sim::Fund& fund) {
    lists_test::OpenFromWatchlist(funds(), fund);
    Settle();
  }
  void WaitForHoldings(const std::string& code) {
    lists_test::WaitForHoldings(main(), fixture_->ui, code);
  }
};

TEST_F(LastGoodTest, FailedRankingShowsTheStoredListNotedUntilAFreshLoad) {
  main().单选框2.Click();
  Settle();
  ASSERT_EQ(20, FilledRows());
  const std::vector<std::string> shown_first = Cells(20);
  ASSERT_EQ("1月涨幅榜", main().Title());

  for (const sim::FaultOptions& failure : Failures({"sc=1y&st=desc"})) {
    SetClock(kSecond);
    sim_->SetFaults(failure);
    sim_->requests().Clear();
    main().单选框1.Click();  // another list in between, so the grid is really refilled
    Settle();
    main().单选框2.Click();
    Settle();
    EXPECT_TRUE(Requested("sc=1y&st=desc"));
    EXPECT_EQ(shown_first, Cells(20));
    EXPECT_EQ("1月涨幅榜" + kFirstNote, main().Title());
    EXPECT_EQ("真", app().config().Read("启动加载", "加载2"));

    sim_->SetFaults({});
    main().单选框2.Click();
    Settle();
    EXPECT_EQ("1月涨幅榜", main().Title());
    EXPECT_EQ(shown_first, Cells(20));
    SetClock(kFirst);
    main().单选框2.Click();  // stored again with the first arrival, for the next case
    Settle();
  }
}

TEST_F(LastGoodTest, FailedFiveStarAndBoardPagesShowTheStoredPagesNamingTheOldest) {
  app().config().Write("加载数据", "是否全部加载", "真");
  main().五星基金钮.Click();
  Settle();
  const int rows = FilledRows();
  ASSERT_GT(rows, 40);
  const std::vector<std::string> shown_first = Cells(rows);
  const std::string done = titles().back();

  // Page 2 keeps its first answer, the others are stored anew; then every page fails.
  SetClock(kSecond);
  sim_->SetFaults(Failures({"&pi=2&"})[0]);
  main().五星基金钮.Click();
  Settle();
  EXPECT_EQ(done + kFirstNote, main().Title());
  SetClock(kThird);
  sim_->SetFaults(Failures({"FundGuideapi"})[0]);
  main().五星基金钮.Click();
  Settle();
  EXPECT_EQ(shown_first, Cells(rows));
  EXPECT_EQ(done + kFirstNote, main().Title());
  sim_->SetFaults({});
  main().五星基金钮.Click();
  Settle();
  EXPECT_EQ(done, main().Title());

  // A board's list: stored, then shown when its pages fail.
  board().Show();
  Settle();
  board().PositionButton(3)->Click();
  Settle();
  const int board_rows = FilledRows();
  ASSERT_GT(board_rows, 0);
  const std::vector<std::string> board_first = Cells(board_rows);
  const std::string board_done = main().Title();
  sim_->SetFaults(Failures({"&tp=BK0"})[0]);
  sim_->requests().Clear();
  board().Show();
  Settle();
  board().PositionButton(3)->Click();
  Settle();
  EXPECT_TRUE(Requested("&tp=BK0"));
  EXPECT_EQ(board_first, Cells(board_rows));
  EXPECT_EQ(board_done + "（离线数据 2021年8月10日11时30分）", main().Title());
}

TEST_F(LastGoodTest, EmptyBoardIsShownEmptyNotReplacedByAStoredOne) {
  // The board had funds when it was stored; the portal now lists none for it.
  board().Show();
  Settle();
  board().PositionButton(1)->Click();
  Settle();
  ASSERT_GT(FilledRows(), 0);
  const std::string code = sim::RankBoards(sim_->market(), "SYL_Q")[0].board->code;
  const long long number = std::stoll(code.substr(3));
  const long long empty_board = 99999;
  const net::PortalUrls& urls = app().portal();
  for (const auto& [from, to] :
       {std::pair{portal::BoardFundsCountUrl(urls, number),
                  portal::BoardFundsCountUrl(urls, empty_board)},
        std::pair{portal::BoardFundsPageUrl(urls, number, "3y", "desc", 1),
                  portal::BoardFundsPageUrl(urls, empty_board, "3y", "desc", 1)}}) {
    const std::optional<store::Cache::Answer> stored = app().cache().LoadAnswer(from);
    ASSERT_TRUE(stored.has_value());
    app().cache().SaveAnswer(to, stored->payload, stored->arrived, stored->stamp);
  }

  funds().lists().BoardFreshClick = 1;
  funds().lists().CurrentBoardName = "空板";
  funds::LoadBoardFunds(funds(), empty_board, "", "");
  Settle();
  EXPECT_EQ(0, FilledRows());
  EXPECT_EQ("空板板块加载失败，请重试", main().Title());

  // The empty answer is the one kept now.
  sim_->SetFaults(Failures({"&tp=BK099999&"})[0]);
  funds::LoadBoardFunds(funds(), empty_board, "", "");
  Settle();
  EXPECT_EQ(0, FilledRows());
  EXPECT_EQ("空板板块加载失败，请重试" + kFirstNote, main().Title());
}

TEST_F(LastGoodTest, FailedBoardRankingShowsTheStoredBoards) {
  board().Show();
  Settle();
  std::vector<std::string> captions;
  for (int k = 1; k <= app::kBoardPositionCount; ++k) {
    captions.push_back(board().PositionButton(k)->Caption());
  }
  board().Close();

  SetClock(kSecond);
  sim_->SetFaults(Failures({"/ztjj/GetZTJJList"})[1]);
  sim_->requests().Clear();
  board().Show();
  Settle();
  EXPECT_TRUE(Requested("/ztjj/GetZTJJList"));
  EXPECT_TRUE(shown().empty());
  EXPECT_TRUE(board().Visible());
  EXPECT_EQ("近3月板块涨跌幅排行", board().标签1.Caption());
  for (int k = 1; k <= app::kBoardPositionCount; ++k) {
    EXPECT_EQ(captions[k - 1], board().PositionButton(k)->Caption()) << k;
  }
  EXPECT_EQ(kFirstNote, main().Title());

  // A period never stored fails as it always did.
  board().按钮112.Click();
  Settle();
  EXPECT_EQ(std::vector<std::string>{"板块信息加载失败，请重试"}, shown());
  EXPECT_EQ("", main().Title());
}

TEST_F(LastGoodTest, FundOpenedWhilePagesFailShowsItsStoredSummaryColumnsAndHoldings) {
  const sim::Fund& fund = sim_->market().funds()[12];
  const sim::FundDetail detail = sim::DetailOf(sim_->market(), fund);
  ASSERT_FALSE(detail.holdings.empty());
  main().单选框3.Click();
  Settle();
  OpenFromWatchlist(fund);
  WaitForHoldings(detail.holdings[0].stock.code);
  ASSERT_EQ(detail.size, grid().Text(1, 14));
  const std::vector<std::string> row_first = Cells(1);
  const std::vector<std::string> holdings_first = Cells(10, main().高级表格5);
  ASSERT_EQ("3月涨幅榜", main().Title());

  const std::vector<std::string> pages = {
      "/" + fund.code + ".html", "/jbgk_", "/jjjl_", "/F10/JJPJ/", "/tsdata_",
      "/FundArchivesDatas"};
  for (const sim::FaultOptions& failure : Failures(pages)) {
    SetClock(kSecond);
    sim_->SetFaults(failure);
    sim_->requests().Clear();
    main().单选框3.Click();
    Settle();
    main().高级表格5.ResetToDesign();
    OpenFromWatchlist(fund);
    EXPECT_EQ(row_first, Cells(1));
    EXPECT_EQ("3月涨幅榜" + kFirstNote, main().Title());
    WaitForHoldings(detail.holdings[0].stock.code);
    for (const std::string& page : pages) EXPECT_TRUE(Requested(page)) << page;
    EXPECT_EQ(holdings_first, Cells(10, main().高级表格5));

    // Opened again with the portal back: the same row, and no note.
    sim_->SetFaults({});
    SetClock(kFirst);
    main().单选框3.Click();
    Settle();
    main().高级表格5.ResetToDesign();
    OpenFromWatchlist(fund);
    EXPECT_EQ(row_first, Cells(1));
    EXPECT_EQ("3月涨幅榜", main().Title());
    WaitForHoldings(detail.holdings[0].stock.code);
  }
}

TEST_F(LastGoodTest, OvertakenLoadWritesNoNote) {
  main().单选框1.Click();
  Settle();
  SetClock(kSecond);
  sim::FaultOptions failing_and_slow = Failures({"sc=r&st=desc"})[0];
  failing_and_slow.target_latency = {{"sc=r&st=desc", 300}};
  sim_->SetFaults(failing_and_slow);
  titles().clear();
  sim_->requests().Clear();
  main().单选框1.Click();
  WaitForRequests(1);
  main().单选框4.Click();
  Settle();

  EXPECT_TRUE(Requested("sc=r&st=desc"));
  EXPECT_EQ(std::vector<std::string>{"昨日跌幅榜"}, titles());
  EXPECT_TRUE(main().单选框4.Checked());
}

TEST_F(LastGoodTest, StartUpForgetsAnswersKeptForMoreThanThirtyDays) {
  store::Cache& cache = app().cache();
  cache.SaveAnswer("old", "[]", "2021年7月9日9时5分2秒", store::TimeStamp(2021, 7, 9, 9, 5, 2));
  cache.SaveAnswer("kept", "[]", "2021年7月9日9时5分3秒", store::TimeStamp(2021, 7, 9, 9, 5, 3));
  cache.SaveDetails("2021-08-07", "000001", "{}");
  cache.SaveDetails("2021-08-08", "000002", "{}");
  funds().Install({});
  for (const app::StartupStep& step : app().startup_steps()) step.run(app());
  Settle();
  EXPECT_FALSE(cache.LoadAnswer("old").has_value());
  EXPECT_TRUE(cache.LoadAnswer("kept").has_value());
  EXPECT_TRUE(cache.LoadDetails("2021-08-07").empty());
  EXPECT_EQ(1u, cache.LoadDetails("2021-08-08").size());
}

// The cache folder cannot be made, the cache file is no database, a stored value is damaged:
// lists load and fail as they would without a cache.
TEST_F(LastGoodTest, UnusableCacheLeavesTheProgramAsWithout) {
  const std::filesystem::path cache_file = app_test::TestPaths(dir_.path()).cache_file;
  const std::string ranking = portal::RankingListUrl(app().portal(), "1y", "desc");
  const std::filesystem::path folder = cache_file.parent_path().parent_path();
  const std::vector<std::function<void()>> spoil = {
      [&] { test_support::WriteFileBytes(folder, "a file"); },
      [&] {
        std::filesystem::create_directories(cache_file.parent_path());
        test_support::WriteFileBytes(cache_file, std::string(4096, 'x'));
      },
      [&] {
        app_test::Program stored(dir_.path());
        stored.app.cache().SaveAnswer(ranking, "{\"records\":[\"000001,", "2021年8月8日", 1);
      },
      [&] {  // a page kept in the earlier form, as record texts
        app_test::Program stored(dir_.path());
        stored.app.cache().SaveAnswer(
            ranking, "{\"records\":[\"000001,甲,,混合型\"],\"all_pages\":1,\"datacount\":1}",
            "2021年8月8日", 1);
      },
  };
  for (size_t i = 0; i < spoil.size(); ++i) {
    SCOPED_TRACE(i);
    titles_.reset();
    fixture_.reset();
    std::filesystem::remove_all(folder);
    spoil[i]();
    UsePortal(sim_->BaseUrl());
    main().单选框3.Click();
    Settle();
    EXPECT_EQ(20, FilledRows());
    EXPECT_EQ("3月涨幅榜", main().Title());
    sim_->SetFaults(Failures({"sc=1y&st=desc", "sc=3y&st=desc"})[0]);
    main().单选框2.Click();
    Settle();
    EXPECT_EQ(0, FilledRows());
    EXPECT_EQ("1月涨幅榜", main().Title());
    sim_->SetFaults({});
  }
}

}  // namespace
