#pragma once

// The registry of worker threads. Every worker of the program starts here, so that the end
// of the program can ask running transfers to stop and wait for the workers to finish.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace ui {

class Workers {
 public:
  // `request_stop` asks every running network transfer to end early.
  explicit Workers(std::function<void()> request_stop = {});
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Runs `job` on a new thread. Returns false, without running it, once stopping has begun.
  bool Start(std::function<void()> job);
  int Running() const;
  bool Stopping() const;
  // Refuses new workers from now on and asks running transfers to stop.
  void RequestStop();
  // Waits at most `grace` for the running workers to finish; true when none runs.
  bool WaitIdle(std::chrono::milliseconds grace);
  // Asks transfers to stop, then joins every worker.
  void StopAndJoin();

 private:
  struct Worker {
    std::thread thread;
    bool done = false;
  };
  void JoinFinished();

  std::function<void()> request_stop_;
  mutable std::mutex mutex_;
  std::condition_variable finished_;
  std::list<Worker> workers_;
  bool stopping_ = false;
};

}  // namespace ui
