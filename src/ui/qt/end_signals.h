#pragma once

// SIGTERM and SIGINT as a request to end: the first of them runs a callback on the UI thread
// (the program closes its main window, as its user would); a later one has the signal's
// default action, so that a program that no longer answers still ends. The signal handler
// writes one byte into a pipe whose reading end the event loop watches. A signal ignored when
// the program started (SIGINT in a job started in the background) stays ignored. One at a time.

#include <QObject>
#include <QSocketNotifier>
#include <functional>

namespace ui {

class EndSignals : public QObject {
 public:
  explicit EndSignals(std::function<void()> on_end);
  // The default actions are back.
  ~EndSignals() override;
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

 private:
  std::function<void()> on_end_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace ui
