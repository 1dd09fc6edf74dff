#include "funds/ranking_lists.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/app_fixture.h"
#include "funds/fund_table.h"
#include "net/http_fetch_test_servers.h"
#include "sim/server.h"

namespace {

class RankingListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::PortalSimOptions options;
    options.market.funds = 300;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    UsePortal(sim_->BaseUrl());
  }

  // A new program whose settings file points the portal at `base`; the base URLs are read
  // when the program starts.
  void UsePortal(const std::string& base) {
    fixture_.reset();
    app_test::PointPortalAt(dir_.path(), base);
    fixture_ = std::make_unique<app_test::Program>(dir_.path());
    funds_ = std::make_unique<funds::Funds>(app());
    funds::InstallRankingLists(*funds_);
  }
  app::App& app() { return fixture_->app; }
  std::string Setting(const std::string& key) { return app().config().Read("启动加载", key); }
  ui::Grid& grid() { return app().main_window().高级表格1; }
  app::MainWindow& main() { return app().main_window(); }
  void Settle() { fixture_->Settle(); }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<funds::Funds> funds_;  // outlives the program's App
  std::unique_ptr<app_test::Program> fixture_;
};

TEST_F(RankingListsTest, RadioBoxRequestsItsRankingRemembersItAndNamesTheList) {
  main().单选框4.Click();
  Settle();

  const auto requests = sim_->requests().Snapshot();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ(
      "/data/FundGuideapi.aspx?dt=4&sd=&ed=&sc=r&st=asc&pi=1&pn=20&zf=diy&sh=list"
      "&rnd=0.9509419468855504",
      requests[0].target);
  EXPECT_EQ("真", Setting("加载4"));
  for (const char* key : {"加载1", "加载2", "加载3", "加载5", "加载6"}) {
    EXPECT_EQ("假", Setting(key)) << key;
  }
  EXPECT_EQ("昨日跌幅榜", main().Title());

  // Losers first: the daily change column ascends down the page.
  ASSERT_NE("", grid().Text(20, 1));
  EXPECT_LE(std::stod(grid().Text(1, 5)), std::stod(grid().Text(20, 5)));
  EXPECT_EQ(21, grid().RowCount());
}

TEST_F(RankingListsTest, RankingAfterLongListFillsTwentyRowsAndEmptiesTheRest) {
  grid().SetRowCount(201);
  for (int row = 1; row <= 200; ++row) grid().SetText(row, 0, "旧");
  grid().SetTextColour(150, 5, funds::kColourRed);

  main().单选框2.Click();
  Settle();

  EXPECT_EQ(201, grid().RowCount());
  EXPECT_NE("旧", grid().Text(20, 0));
  EXPECT_NE("", grid().Text(20, 0));
  EXPECT_EQ("", grid().Text(21, 0));
  EXPECT_EQ("", grid().Text(200, 0));
  EXPECT_EQ(ui::kDefaultTextColour, grid().TextColour(150, 5));
  EXPECT_EQ("1月涨幅榜", main().Title());
}

TEST_F(RankingListsTest, FailedAnswersLeaveTheGridResetAndStillNameTheList) {
  grid().SetText(1, 0, "旧");
  sim::FaultOptions error;
  error.error_rate = 1;
  sim_->SetFaults(error);
  main().单选框1.Click();
  Settle();
  EXPECT_EQ("", grid().Text(1, 0));
  EXPECT_EQ("昨日涨幅榜", main().Title());

  grid().SetText(1, 0, "旧");
  sim::FaultOptions truncated;
  truncated.truncate_rate = 1;
  sim_->SetFaults(truncated);
  main().单选框3.Click();
  Settle();
  EXPECT_EQ("", grid().Text(1, 0));
  EXPECT_EQ("3月涨幅榜", main().Title());
  EXPECT_EQ("真", Setting("加载3"));
}

// A portal answering with a fixed body, for exact records and malformed answers.
class CannedPortal {
 public:
  explicit CannedPortal(std::string body) : body_(std::move(body)) {
    server_.server().Get("/data/FundGuideapi.aspx",
                         [this](const httplib::Request&, httplib::Response& r) {
                           r.set_content(body_, "text/plain; charset=utf-8");
                         });
    server_.Start();
  }
  std::string BaseUrl() const { return server_.Url(""); }

 private:
  std::string body_;
  http_test::LoopbackServer server_;
};

std::string SevenRecordPage() {
  std::string datas;
  for (int i = 0; i < 7; ++i) {
    std::string change = i == 0 ? "" : (i == 1 ? "55.2" : (i == 2 ? "-3.1" : "0.00"));
    datas += std::string(i ? "," : "") + "\"00000" + std::to_string(i) + ",基金" +
             std::to_string(i) + ",JJ,混合型,1,2,3,4,5,6,7,8,,,,2021-08-20,1.0," + change + ",,\"";
  }
  return "var rankData = {datas:[" + datas + "],allRecords:7,pageIndex:1,pageNum:20,allPages:1};";
}

TEST_F(RankingListsTest, SevenRecordsFillSevenRowsWithColouredDailyChange) {
  CannedPortal canned(SevenRecordPage());
  UsePortal(canned.BaseUrl());
  main().单选框1.Click();
  Settle();
  for (int row = 1; row <= 7; ++row) EXPECT_NE("", grid().Text(row, 1)) << row;
  for (int row = 8; row <= 20; ++row) EXPECT_EQ("", grid().Text(row, 1)) << row;
  EXPECT_EQ("基金0", grid().Text(1, 0));
  EXPECT_EQ("-", grid().Text(1, 5));
  EXPECT_EQ(funds::kColourSilver, grid().TextColour(1, 5));
  EXPECT_EQ("55.2%", grid().Text(2, 5));
  EXPECT_EQ(funds::kColourBlue, grid().TextColour(2, 5));
  EXPECT_EQ(funds::kColourGreen, grid().TextColour(3, 5));
  EXPECT_EQ(funds::kColourSilver, grid().TextColour(4, 5));
  EXPECT_EQ(funds::kColourRed, grid().TextColour(1, 6));
}

TEST_F(RankingListsTest, BodyWithoutTheListMarkerGivesAnEmptyGrid) {
  CannedPortal canned("<html>维护中</html>");
  UsePortal(canned.BaseUrl());
  grid().SetText(1, 0, "旧");
  main().单选框6.Click();
  Settle();
  EXPECT_EQ("", grid().Text(1, 0));
  EXPECT_EQ("3月跌幅榜", main().Title());
}

TEST_F(RankingListsTest, StartUpLoadsTheFirstRememberedRankingOnly) {
  app().config().Write("启动加载", "加载2", "真");
  app().config().Write("启动加载", "加载5", "真");
  funds::LoadStartupRanking(*funds_);
  Settle();
  EXPECT_TRUE(main().单选框2.Checked());
  EXPECT_FALSE(main().单选框5.Checked());
  ASSERT_EQ(1u, sim_->requests().Count());
  EXPECT_NE(std::string::npos, sim_->requests().Snapshot()[0].target.find("sc=1y&st=desc"));
  EXPECT_EQ("1月涨幅榜", main().Title());
  EXPECT_EQ("假", Setting("加载5"));
}

// The user clicks `first`, then `second` once the first one's request has reached the portal
// and waits there.
void ClickWhileTheFirstWaits(app_test::Program& program, sim::PortalSim& sim, ui::RadioBox& first,
                             ui::RadioBox& second) {
  const size_t before = sim.requests().Count();
  first.Click();
  while (sim.requests().Count() == before)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  second.Click();
  program.Settle();
}

TEST_F(RankingListsTest, NewerRankingWinsWhicheverAnswerArrivesFirst) {
  for (const auto& [desc_ms, asc_ms] : {std::pair{1000, 0}, std::pair{300, 1000}}) {
    SCOPED_TRACE(desc_ms);
    sim::FaultOptions slow;
    slow.target_latency = {{"sc=r&st=desc", desc_ms}, {"sc=r&st=asc", asc_ms}};
    sim_->SetFaults(slow);
    main().单选框2.Click();  // something else was chosen before
    Settle();
    sim_->requests().Clear();

    ClickWhileTheFirstWaits(*fixture_, *sim_, main().单选框1, main().单选框4);

    ASSERT_EQ(2u, sim_->requests().Count());
    EXPECT_TRUE(main().单选框4.Checked());
    EXPECT_FALSE(main().单选框1.Checked());
    EXPECT_EQ("昨日跌幅榜", main().Title());
    // Yesterday's losers: the daily change ascends down the page.
    ASSERT_NE("", grid().Text(20, 5));
    EXPECT_LT(std::stod(grid().Text(1, 5)), std::stod(grid().Text(20, 5)));
    for (int n = 1; n <= 6; ++n) {
      EXPECT_EQ(n == 4 ? "真" : "假", Setting("加载" + std::to_string(n))) << n;
    }
  }
}

TEST_F(RankingListsTest, TheSettingsFileHoldsOneChosenListAtEveryMomentOfAClick) {
  auto chosen = [this] {
    std::vector<int> stored;
    for (int n = 1; n <= 6; ++n) {
      if (Setting("加载" + std::to_string(n)) == "真") stored.push_back(n);
    }
    return stored;
  };
  main().单选框2.Click();
  Settle();
  // What the file holds while the new list loads is what a kill then would leave.
  std::vector<int> while_loading;
  app().ui().Post([&] { while_loading = chosen(); });
  main().单选框5.Click();
  Settle();
  EXPECT_EQ(std::vector<int>{5}, while_loading);
  EXPECT_EQ(std::vector<int>{5}, chosen());
}

TEST_F(RankingListsTest, BusyGridRefusesAndTheBoxesShowTheStoredChoice) {
  main().单选框2.Click();
  Settle();
  const std::string first_fund = grid().Text(1, 0);
  app().loads().SetBusy(app::LoadTarget::kFundGrid, true);
  main().单选框5.Click();
  Settle();
  EXPECT_EQ(std::vector<std::string>{"数据加载中，请稍后再试"}, fixture_->dialogs.shown);
  EXPECT_EQ(1u, sim_->requests().Count());
  EXPECT_TRUE(main().单选框2.Checked());
  EXPECT_FALSE(main().单选框5.Checked());
  EXPECT_EQ("假", Setting("加载5"));
  EXPECT_EQ(first_fund, grid().Text(1, 0));
  EXPECT_EQ("1月涨幅榜", main().Title());
}

TEST_F(RankingListsTest, StartUpWithoutTrueKeyLoadsNothing) {
  app().config().Write("启动加载", "加载3", "真 ");
  funds::LoadStartupRanking(*funds_);
  EXPECT_EQ(0u, sim_->requests().Count());
  EXPECT_FALSE(main().单选框3.Checked());
}

}  // namespace
