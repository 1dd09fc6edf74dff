#pragma once

// The pool of worker threads. Every worker job of the program runs here, so that the end of the
// program can ask running transfers to stop and wait for the workers to finish. Threads are made
// once, as jobs first need them, up to a fixed number, and then take job after job from a queue
// in the order the jobs were started: a job never waits for a thread to be made or torn down.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace ui {

class Workers {
 public:
  // Eight threads: a fan-out asks five things at a time, and a search, a fund's details and a
  // chart the user starts meanwhile each get a thread of their own without waiting behind it.
  // More jobs than threads (two fan-outs at once) wait in the order they were started, so a job
  // started first is never held up by a later one.
  static constexpr int kDefaultThreads = 8;

  // Creates the thread that runs `body`; throws std::system_error when it cannot, as
  // std::thread does. Tests pass one that fails.
  using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

  // `request_stop` asks every running network transfer to end early.
  explicit Workers(std::function<void()> request_stop = {}, ThreadStarter start_thread = {},
                   int max_threads = kDefaultThreads);
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Queues `job` for the next free thread, making one while there are fewer than the most.
  // Returns false, without running it, once stopping has begun or when no thread exists and
  // none can be made. A job that throws counts as finished; the exception goes no further.
  bool Start(std::function<void()> job);
  // Jobs queued or running.
  int Running() const;
  // Threads made so far (never more than the most the pool was given).
  int Threads() const;
  bool Stopping() const;
  // Refuses new jobs from now on and asks running transfers to stop. Jobs already queued still
  // run, quickly, as their transfers end at once; what they bring reaches nobody.
  void RequestStop();
  // Waits at most `grace` for the queued and running jobs to finish; true when none is left.
  bool WaitIdle(std::chrono::milliseconds grace);
  // Asks transfers to stop, then joins every thread.
  void StopAndJoin();

 private:
  void Serve();

  std::function<void()> request_stop_;
  ThreadStarter start_thread_;
  const int max_threads_;
  mutable std::mutex mutex_;
  std::condition_variable work_;      // a job queued, or stopping
  std::condition_variable finished_;  // a job finished
  std::deque<std::function<void()>> queue_;
  std::vector<std::thread> threads_;
  int idle_ = 0;    // threads waiting for a job
  int active_ = 0;  // jobs being run
  bool stopping_ = false;
};

}  // namespace ui
