#pragma once

// Times a step of the program on the UI thread: the step runs, then the event loop turns until
// every load has ended and the window is painted. A 1 ms timer measures the longest gap between
// two turns of the loop during the step: its stall.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <vector>

#include "app/app.h"

namespace bench_ledger {

class StepTimer {
 public:
  StepTimer(app::App& app, QWidget& view) : app_(app), view_(view) {
    ticker_.setInterval(1);
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
      longest_ = std::max(longest_, since_last_.elapsed());
      since_last_.restart();
    });
    ticker_.start();
  }

  // The step's time in ms; its stall is kept in stalls().
  template <class Step>
  double Time(const Step& step) {
    QCoreApplication::processEvents();
    since_last_.restart();
    longest_ = 0;
    const auto start = std::chrono::steady_clock::now();
    step();
    do {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    } while (app_.loads().InFlight() > 0);
    view_.repaint();
    stalls_.push_back(longest_);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  }

  // The stall of each step timed, in order, and the longest of them (ms).
  const std::vector<qint64>& stalls() const { return stalls_; }
  qint64 Longest() const {
    return stalls_.empty() ? 0 : *std::max_element(stalls_.begin(), stalls_.end());
  }

 private:
  app::App& app_;
  QWidget& view_;
  QTimer ticker_;
  QElapsedTimer since_last_;
  qint64 longest_ = 0;
  std::vector<qint64> stalls_;
};

}  // namespace bench_ledger
