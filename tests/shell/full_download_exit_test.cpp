// Closing the main window while a load waits for the portal ends the program at once, with exit
// code 0: the list, a fund's detail, the chart and the full download alike.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/app_fixture.h"
#include "funds/lists_fixture.h"
#include "shell/bind_events.h"
#include "sim/server.h"

namespace {

enum class Load { kList, kDetail, kChart, kDownload };

// Starts `load`, closes the main window once its requests wait at the portal, leaves the
// program as its main does and exits: 0 when the program ended long before the answers could
// have come; 3 when the close was not served, 4 when the end waited for the portal, 5 without a
// portal. The slow portal is left to the exit.
[[noreturn]] void CloseDuring(Load load) {
  using Clock = std::chrono::steady_clock;
  sim::PortalSimOptions options;
  options.market.funds = 30;
  // Every answer takes far longer than an end may; the download's first pages come at once, so
  // that it is closed in its detail phase with five funds in flight.
  // (the ranking is told from the download's totals by its rnd).
  options.faults.target_latency = {{"/jbgk_", 20000},
                                   {"/jjjl_", 20000},
                                   {"rnd=0.9509419468855504", 20000},
                                   {".html", 20000},
                                   {"/FundCompare/", 20000}};
  sim::PortalSim portal(options);
  if (portal.Start() <= 0) std::exit(5);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  Clock::time_point closed;
  {
    app_test::Program program(dir.path());
    app::App& app = program.app;
    shell::Features features;
    shell::BindEvents(app, features);
    app::MainWindow& main = app.main_window();
    main.Show();
    size_t waiting = 1;
    switch (load) {
      case Load::kList:
        main.单选框1.Click();
        break;
      case Load::kDetail:
        lists_test::OpenFromWatchlist(*features.funds, portal.market().funds()[3]);
        break;
      case Load::kChart:
        main.按钮1.Click();
        break;
      case Load::kDownload:
        main.导出所有数据钮.Click();
        waiting = 3 + 5;  // the totals, two pages, five funds' first pages
        break;
    }
    while (portal.requests().Count() < waiting) {
      program.ui.PumpEventsUntil(Clock::now() + std::chrono::milliseconds(5));
    }
    closed = Clock::now();
    main.Close();
    if (!program.ui.QuitRequested()) std::exit(3);
  }  // the App joins its workers here
  const auto ended = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - closed);
  std::fprintf(stderr, "ended %lld ms after the close\n", static_cast<long long>(ended.count()));
  std::_Exit(ended < std::chrono::seconds(10) ? 0 : 4);
}

TEST(ProgramEndDeathTest, ClosingTheWindowDuringAnyLoadEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (Load load : {Load::kList, Load::kDetail, Load::kChart, Load::kDownload}) {
    EXPECT_EXIT(CloseDuring(load), ::testing::ExitedWithCode(0), "ended") << static_cast<int>(load);
  }
}

}  // namespace
