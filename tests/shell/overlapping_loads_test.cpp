// A load started first is never held up by a later one: a fund's chart whose answer takes 2 s
// is drawn while a full download started meanwhile still runs, and the download ends as before.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/app_fixture.h"
#include "funds/lists_fixture.h"
#include "shell/bind_events.h"
#include "sim/server.h"
#include "support/recording_canvas.h"

namespace {

TEST(OverlappingLoadsTest, ChartAnswerArrivingDuringTheDownloadIsDrawnAtOnce) {
  using Clock = std::chrono::steady_clock;
  sim::PortalSimOptions options;
  options.market.funds = 150;
  options.faults.latency_ms = 30;
  options.faults.target_latency = {{"/FundCompare/", 2000}};
  sim::PortalSim portal(options);
  ASSERT_GT(portal.Start(), 0);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  app_test::Program program(dir.path());
  app::App& app = program.app;
  shell::Features features;
  shell::BindEvents(app, features);
  app::MainWindow& main = app.main_window();
  main.画板1.SetCanvas(std::make_unique<test_support::RecordingCanvas>(688, 320));
  auto& canvas = static_cast<test_support::RecordingCanvas&>(*main.画板1.GetCanvas());
  auto pump = [&] { program.ui.PumpEventsUntil(Clock::now() + std::chrono::milliseconds(5)); };

  lists_test::OpenFromWatchlist(*features.funds, portal.market().funds()[7]);
  lists_test::PumpUntilAsked(program.ui, portal, "/FundCompare/");
  const Clock::time_point asked = Clock::now();
  while (Clock::now() - asked < std::chrono::milliseconds(500)) pump();
  main.导出所有数据钮.Click();

  while (canvas.TextCalls("时间").empty()) pump();
  // Drawn while the download goes on.
  EXPECT_TRUE(app.loads().Busy(app::LoadTarget::kFundGrid));
  EXPECT_EQ(0u, main.Title().rfind("正在加载第", 0)) << main.Title();
  EXPECT_TRUE(program.dialogs.shown.empty());

  program.Settle();
  EXPECT_EQ("加载完毕", main.Title());
  EXPECT_FALSE(app.loads().Busy(app::LoadTarget::kFundGrid));
  EXPECT_TRUE(std::filesystem::exists(app.paths().workbook_dir / "8月8日.xls"));
}

}  // namespace
