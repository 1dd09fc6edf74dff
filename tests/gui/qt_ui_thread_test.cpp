// The Qt dispatcher: work handed over from other threads runs on the UI thread, in posting
// order, when the UI thread processes its events.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>
#include <vector>

#include "ui/qt/qt_services.h"

namespace ui {
namespace {

TEST(QtUiThreadTest, WorkPostedByAWorkerRunsOnTheUiThreadInOrderWhenEventsArePumped) {
  QtUiThread ui;
  EXPECT_TRUE(ui.IsUiThread());
  std::vector<int> order;
  std::vector<bool> ran_on_ui_thread;
  bool worker_is_ui_thread = true;
  std::thread worker([&] {
    worker_is_ui_thread = ui.IsUiThread();
    for (int i = 0; i < 3; ++i) {
      ui.Post([&, i] {
        order.push_back(i);
        ran_on_ui_thread.push_back(ui.IsUiThread());
      });
    }
    // Nothing to run: skipped, as the manual dispatcher skips it.
    ui.Post({});
  });
  worker.join();
  EXPECT_FALSE(worker_is_ui_thread);
  EXPECT_TRUE(order.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(std::vector<int>({0, 1, 2}), order);
  EXPECT_EQ(std::vector<bool>(3, true), ran_on_ui_thread);
}

TEST(QtUiThreadTest, DelayedWorkRunsOnTheEventLoopAfterItsWaitAndQuitEndsTheLoop) {
  QtUiThread ui;
  std::vector<int> order;
  Delay(ui, 30, 0, [&] { order.push_back(2); });
  ui.PostAfter(std::chrono::milliseconds(0), [&] { order.push_back(1); });
  ui.PostAfter(std::chrono::milliseconds(60), [&] {
    order.push_back(3);
    ui.Quit();
  });
  QCoreApplication::exec();
  EXPECT_EQ(std::vector<int>({1, 2, 3}), order);
}

}  // namespace
}  // namespace ui
