#include "ui/ui_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "support/manual_ui_thread.h"
#include "ui/workers.h"

namespace ui {
namespace {

using test_support::ManualUiThread;

TEST(UiThreadTest, PostedWorkRunsOnThePumpingThreadInOrder) {
  ManualUiThread ui;
  EXPECT_TRUE(ui.IsUiThread());
  std::vector<int> order;
  std::thread worker([&] {
    EXPECT_FALSE(ui.IsUiThread());
    for (int i = 0; i < 3; ++i) ui.Post([&order, i] { order.push_back(i); });
  });
  worker.join();
  EXPECT_TRUE(order.empty());
  ui.Post([&] { ui.Post([&] { order.push_back(9); }); });
  ui.PumpEvents();
  EXPECT_EQ(std::vector<int>({0, 1, 2, 9}), order);
}

TEST(UiThreadTest, DelayUnitsAndTheEndlessDefault) {
  struct Case {
    std::optional<long long> amount;
    std::optional<int> unit;
    long double ms;
  };
  const Case cases[] = {
      {20, 0, 20},          {3, 1, 3000},
      {2, 2, 120000},       {1, 3, 3600000},
      {5, std::nullopt, 5}, {std::nullopt, std::nullopt, 18000000.0L * 18000000.0L},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.ms, DelayMilliseconds(c.amount, c.unit))
        << c.amount.value_or(-1) << " " << c.unit.value_or(-1);
  }
}

TEST(UiThreadTest, DelayRunsItsWorkWhenTheTimerFallsDue) {
  ManualUiThread ui;
  std::vector<int> order;
  Delay(ui, 3, 1, [&] { order.push_back(3); });
  Delay(ui, 20, 0, [&] { order.push_back(1); });
  ui.PumpEvents();
  EXPECT_TRUE(order.empty());
  ui.AdvanceTimers(std::chrono::milliseconds(2999));
  ui.PumpEvents();
  EXPECT_EQ(std::vector<int>({1}), order);
  ui.AdvanceTimers(std::chrono::milliseconds(1));
  ui.PumpEvents();
  EXPECT_EQ(std::vector<int>({1, 3}), order);
}

TEST(UiThreadTest, WaitAndPumpRunsWorkPostedByAnotherThread) {
  ManualUiThread ui;
  int ran = 0;
  std::thread worker([&] { ui.Post([&] { ++ran; }); });
  ui.WaitAndPump();
  worker.join();
  EXPECT_EQ(1, ran);
}

TEST(WorkersTest, StopAsksTransfersToEndJoinsAndRefusesNewWork) {
  std::atomic<bool> stop{false};
  std::atomic<int> finished{0};
  Workers workers([&] { stop = true; });
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(workers.Start([&] {
      while (!stop) std::this_thread::yield();
      ++finished;
    }));
  }
  workers.StopAndJoin();
  EXPECT_EQ(3, finished.load());
  EXPECT_EQ(0, workers.Running());
  EXPECT_TRUE(workers.Stopping());
  EXPECT_FALSE(workers.Start([&] { ++finished; }));
  EXPECT_EQ(3, finished.load());
}

TEST(WorkersTest, WaitIdleReportsWhenEveryWorkerHasFinished) {
  std::atomic<bool> release{false};
  Workers workers([&] { release = true; });
  workers.Start([&] {
    while (!release) std::this_thread::yield();
  });
  workers.RequestStop();
  EXPECT_TRUE(workers.WaitIdle(std::chrono::hours(1)));
  EXPECT_EQ(0, workers.Running());
}

TEST(WorkersTest, JobsThatThrowOrGetNoThreadNeverHoldUpTheEnd) {
  bool no_thread = true;
  Workers workers({}, [&no_thread](std::function<void()> body) {
    if (no_thread)
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    return std::thread(std::move(body));
  });
  std::atomic<int> ran{0};
  EXPECT_FALSE(workers.Start([&] { ++ran; }));
  EXPECT_EQ(0, workers.Running());
  EXPECT_TRUE(workers.WaitIdle(std::chrono::milliseconds(0)));
  no_thread = false;
  EXPECT_TRUE(workers.Start([] { throw std::runtime_error("transfer failed"); }));
  EXPECT_TRUE(workers.WaitIdle(std::chrono::hours(1)));
  EXPECT_EQ(0, workers.Running());
  EXPECT_TRUE(workers.Start([&] { ++ran; }));
  workers.StopAndJoin();
  EXPECT_EQ(1, ran.load());
}

TEST(WorkersTest, ManyJobsShareTheFewThreadsMadeOnceAndAThrowingJobKeepsItsThread) {
  std::atomic<int> made{0};
  Workers workers(
      {},
      [&made](std::function<void()> body) {
        ++made;
        return std::thread(std::move(body));
      },
      3);
  std::atomic<int> ran{0}, running{0}, most{0};
  EXPECT_TRUE(workers.Start([] { throw std::runtime_error("transfer failed"); }));
  for (int i = 0; i < 200; ++i) {
    EXPECT_TRUE(workers.Start([&] {
      const int now = ++running;
      for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100));
      --running;
      ++ran;
    }));
  }
  EXPECT_TRUE(workers.WaitIdle(std::chrono::hours(1)));
  EXPECT_EQ(200, ran.load());
  EXPECT_LE(most.load(), 3);
  EXPECT_EQ(3, made.load());
  EXPECT_EQ(3, workers.Threads());
}

TEST(WorkersTest, JobsQueuedWhenStoppingBeginsRunWithTheirTransfersStoppedBeforeTheJoinEnds) {
  std::atomic<bool> stop{false}, entered{false};
  std::atomic<int> ran_stopped{0};
  Workers workers([&] { stop = true; }, {}, 1);
  EXPECT_TRUE(workers.Start([&] {
    entered = true;
    while (!stop) std::this_thread::yield();
  }));
  while (!entered) std::this_thread::yield();
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(workers.Start([&] { ran_stopped += stop ? 1 : 0; }));
  EXPECT_EQ(6, workers.Running());
  workers.StopAndJoin();
  EXPECT_EQ(5, ran_stopped.load());
  EXPECT_EQ(0, workers.Running());
}

}  // namespace
}  // namespace ui
