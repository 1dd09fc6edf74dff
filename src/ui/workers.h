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
  // Creates the thread that runs `body`; throws std::system_error when it cannot, as
  // std::thread does. Tests pass one that fails.
  using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

  // `request_stop` asks every running network transfer to end early.
  explicit Workers(std::function<void()> request_stop = {}, ThreadStarter start_thread = {});
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Runs `job` on a new thread. Returns false, without running it, once stopping has begun or
  // when no thread can be created. A job that throws counts as finished; the exception goes
  // no further.
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
  ThreadStarter start_thread_;
  mutable std::mutex mutex_;
  std::condition_variable finished_;
  std::list<Worker> workers_;
  bool stopping_ = false;
};

}  // namespace ui
