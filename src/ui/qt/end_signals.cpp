#include "ui/qt/end_signals.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace ui {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};
int pipe_ends[2] = {-1, -1};

void OnSignal(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t written = write(pipe_ends[1], &byte, 1);
  errno = saved;
}

}  // namespace

EndSignals::EndSignals(std::function<void()> on_end) : on_end_(std::move(on_end)) {
  if (pipe2(pipe_ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    qWarning("fundview: no pipe for the end signals; they end the program at once");
    return;
  }
  notifier_ = new QSocketNotifier(pipe_ends[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (read(pipe_ends[0], bytes, sizeof bytes) > 0) {
    }
    if (on_end_) on_end_();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // The first signal is the program's to serve; the next one has the default action.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int number : kSignals) {
    // A signal its starter ignores (SIGINT for a job in the background) stays ignored.
    struct sigaction before = {};
    if (sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(number, &action, nullptr);
  }
}

EndSignals::~EndSignals() {
  if (!notifier_) return;
  for (int number : kSignals) {
    struct sigaction now = {};
    if (sigaction(number, nullptr, &now) == 0 && now.sa_handler == OnSignal) {
      signal(number, SIG_DFL);
    }
  }
  delete notifier_;
  close(pipe_ends[0]);
  close(pipe_ends[1]);
  pipe_ends[0] = pipe_ends[1] = -1;
}

}  // namespace ui
