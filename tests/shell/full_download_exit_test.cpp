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
// pages and returns only if the program did not end.
void CloseDuringDetailPhase() {
  sim::PortalSimOptions options;
  options.market.funds = 30;
  // Each profile page takes long enough that the download cannot end on its own first.
  options.faults.target_latency = {{"/jbgk_", 4000}, {"/jjjl_", 4000}};
  sim::PortalSim portal(options);
  if (portal.Start() <= 0) std::_Exit(4);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  app_test::Program program(dir.path());
  app::App& app = program.app;
  shell::Features features;
  shell::BindEvents(app, features);
  app.main_window().Show();
  std::thread closer([&] {
    while (portal.requests().Count() < 3 + 5) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    program.ui.Post([&app] { app.main_window().Close(); });
  });
  app.main_window().导出所有数据钮.Click();
  closer.join();
}

TEST(FullDownloadExitDeathTest, ClosingTheWindowDuringTheDetailPhaseEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CloseDuringDetailPhase();
        std::_Exit(3);  // the download ran to its end: the close was never served
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
