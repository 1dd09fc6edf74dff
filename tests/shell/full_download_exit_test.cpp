// Closing the main window while the full download's workers fetch profile pages ends the
// program at once, with exit code 0.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "sim/server.h"

namespace {

// Starts the download, closes the main window once the first workers have asked for their
// pages and leaves the program as its main does. 0 when the program ended before the pages'
// answers could have come; 3 when the close was not served, 4 when the end waited for them.
int CloseDuringDetailPhase() {
  using Clock = std::chrono::steady_clock;
  sim::PortalSimOptions options;
  options.market.funds = 30;
  // Each profile page takes long enough that the download cannot end on its own first.
  options.faults.target_latency = {{"/jbgk_", 20000}, {"/jjjl_", 20000}};
  sim::PortalSim portal(options);
  if (portal.Start() <= 0) return 5;
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  Clock::time_point closed;
  {
    app_test::Program program(dir.path());
    app::App& app = program.app;
    shell::Features features;
    shell::BindEvents(app, features);
    app.main_window().Show();
    app.main_window().导出所有数据钮.Click();
    while (portal.requests().Count() < 3 + 5) {
      program.ui.PumpEventsUntil(Clock::now() + std::chrono::milliseconds(5));
    }
    closed = Clock::now();
    app.main_window().Close();
    if (!program.ui.QuitRequested()) return 3;
  }  // the App joins its workers here
  return Clock::now() - closed < std::chrono::seconds(10) ? 0 : 4;
}

TEST(FullDownloadExitDeathTest, ClosingTheWindowDuringTheDetailPhaseEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(CloseDuringDetailPhase()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
