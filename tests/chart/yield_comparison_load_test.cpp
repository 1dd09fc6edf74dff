// The yield comparison loaded from the simulated portal onto the chart panel: the request, the
// series drawn for the slots, the period buttons' titles, failures and the newest load winning.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_fixture.h"
#include "base/text.h"
#include "chart/yield_comparison.h"
#include "sim/server.h"
#include "sim/yield_compare.h"
#include "support/recording_canvas.h"

namespace chart {
namespace {

using test_support::CanvasOp;
using test_support::RecordingCanvas;

class YieldComparisonLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::PortalSimOptions options;
    options.market.funds = 60;
    options.market.boards = 2;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    paths_ = app_test::TestPaths(dir_.path());
    app::ConfigFile config(paths_.run_dir.string());
    config.Write("门户", "PORTAL_API", sim_->BaseUrl());
    config.Write("门户", "PORTAL_MAIN", sim_->BaseUrl());
    app_ = std::make_unique<app::App>(paths_, dialogs_, ui_, clock_);
    main().画板1.SetCanvas(std::make_unique<RecordingCanvas>(688, 320));
    InstallYieldComparison(*app_, chart_, state_, [this] { return slots_; });
  }

  app::App& app() { return *app_; }
  app::MainWindow& main() { return app_->main_window(); }
  RecordingCanvas& canvas() { return static_cast<RecordingCanvas&>(*main().画板1.GetCanvas()); }
  const std::string& Code(int index) const { return sim_->market().funds()[index].code; }
  size_t PeriodDays(const char* period) const {
    return sim::YieldSeries(sim_->market(), {&sim_->market().funds()[0]}, period).size();
  }
  std::vector<sim::RecordedRequest> CompareRequests() const {
    std::vector<sim::RecordedRequest> requests;
    for (const sim::RecordedRequest& request : sim_->requests().Snapshot()) {
      if (request.path == sim::kYieldComparePath) requests.push_back(request);
    }
    return requests;
  }
  void Settle() { app_test::Settle(*app_, ui_); }
  // Waits until the portal has had `count` comparison requests; their answers wait for the UI
  // thread.
  void WaitForCompareRequests(size_t count) {
    while (CompareRequests().size() < count) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  // Frames drawn on the panel: each writes the x title once.
  size_t Frames() { return canvas().TextCalls("时间").size(); }
  // Colours of the series lines, in drawing order, one entry per series.
  std::vector<ui::Colour> SeriesColours() {
    std::vector<ui::Colour> colours;
    for (const auto& line : canvas().Calls(CanvasOp::kLine)) {
      if (line.state.pen_width != 3) continue;
      if (colours.empty() || colours.back() != line.state.pen_colour) {
        colours.push_back(line.state.pen_colour);
      }
    }
    return colours;
  }

  std::unique_ptr<sim::PortalSim> sim_;
  test_support::TempDir dir_;
  app::AppPaths paths_;
  test_support::RecordingDialogs dialogs_;
  test_support::ManualUiThread ui_;
  test_support::FixedClock clock_{base::DateTime{2021, 8, 20, 15, 0, 0}};
  std::unique_ptr<app::App> app_;
  LineChart chart_;
  ComparisonState state_;
  ComparisonSlots slots_;  // as the fund detail holds them
};

constexpr ui::Colour kRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kSecond = ui::Rgb(192, 96, 0);

TEST_F(YieldComparisonLoadTest, RefreshDrawsBothFundsOverTheYearInTheirOrderAndColours) {
  slots_.first = Code(3);
  slots_.second = Code(7);
  RefreshComparisonChart(app(), chart_, state_, slots_);
  Settle();

  const auto requests = CompareRequests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("/FundCompare/LJSYL?bzdm=" + Code(3) + "," + Code(7) +
                "&c=year&callback=jQuery18307015471687350752&_=1628388758953",
            requests[0].target);
  EXPECT_EQ(sim_->BaseUrl() + "/compare/?code=005669,005939", requests[0].Header("Referer"));
  EXPECT_EQ(Code(3) + "," + Code(7), state_.codes);

  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(1u, Frames());
  EXPECT_EQ((std::vector<ui::Colour>{kRed, kSecond}), SeriesColours());
  const ReadoutTable& readout = chart_.Readout();
  EXPECT_EQ(static_cast<int>(PeriodDays("year")) + 2, readout.ColumnCount());
  EXPECT_EQ(Code(3), readout.Cell(2, 1));
  EXPECT_EQ(Code(7), readout.Cell(3, 1));
  EXPECT_EQ(base::IntToText(kSecond), readout.Cell(3, 2));
  EXPECT_EQ("", main().标签8.Caption());  // the refresh leaves the title alone

  // Only the compared fund left: it alone is asked for and drawn, in its own colour.
  slots_.first.clear();
  RefreshComparisonChart(app(), chart_, state_, slots_);
  Settle();
  EXPECT_EQ(Code(7), state_.codes);
  canvas().ForgetCalls();
  main().按钮4.Click();
  Settle();
  EXPECT_EQ((std::vector<ui::Colour>{kSecond}), SeriesColours());
  EXPECT_EQ("近6月收益率走势对比图", main().标签8.Caption());
  EXPECT_EQ(static_cast<int>(PeriodDays("sixmonth")) + 2, chart_.Readout().ColumnCount());

  // Neither slot: nothing is asked for and the codes stay.
  slots_.second.clear();
  RefreshComparisonChart(app(), chart_, state_, slots_);
  Settle();
  EXPECT_EQ(Code(7), state_.codes);
  EXPECT_EQ(3u, CompareRequests().size());
}

TEST_F(YieldComparisonLoadTest, NothingToDrawSaysSoLeavesThePictureAndStillTitles) {
  // Before any comparison the codes are empty, and so is the portal's series.
  main().按钮1.Click();
  Settle();
  ASSERT_EQ(1u, CompareRequests().size());
  EXPECT_NE(std::string::npos, CompareRequests()[0].target.find("?bzdm=&c=week&"));
  EXPECT_EQ(std::vector<std::string>{kComparisonFailed}, dialogs_.shown);
  EXPECT_EQ("近1周收益率走势对比图", main().标签8.Caption());
  EXPECT_TRUE(canvas().calls().empty());

  // Codes from an earlier refresh but both slots emptied since: no value to scale by.
  state_.codes = Code(1) + "," + Code(2);
  main().按钮7.Click();
  Settle();
  EXPECT_EQ(2u, dialogs_.shown.size());
  EXPECT_EQ("近3年月收益率走势对比图", main().标签8.Caption());
  EXPECT_TRUE(canvas().calls().empty());
}

TEST_F(YieldComparisonLoadTest, OvertakenLoadsDrawNothingAndLeaveTheTitle) {
  slots_.first = Code(3);
  state_.codes = Code(3);
  // The second click arrives while the first one's answer is awaited.
  main().按钮2.Click();
  WaitForCompareRequests(1);
  main().按钮3.Click();
  Settle();
  EXPECT_EQ(2u, CompareRequests().size());
  EXPECT_EQ(1u, Frames());
  EXPECT_EQ("近3月收益率走势对比图", main().标签8.Caption());
  EXPECT_EQ(static_cast<int>(PeriodDays("threemonth")) + 2, chart_.Readout().ColumnCount());

  // A detail load's refresh overtaken by a click.
  canvas().ForgetCalls();
  RefreshComparisonChart(app(), chart_, state_, slots_);
  WaitForCompareRequests(3);
  main().按钮1.Click();
  Settle();
  EXPECT_EQ(1u, Frames());
  EXPECT_EQ("近1周收益率走势对比图", main().标签8.Caption());
  EXPECT_EQ(static_cast<int>(PeriodDays("week")) + 2, chart_.Readout().ColumnCount());
  EXPECT_TRUE(dialogs_.shown.empty());
}

}  // namespace
}  // namespace chart
