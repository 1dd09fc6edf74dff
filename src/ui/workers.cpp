#include "ui/workers.h"

#include <algorithm>
#include <system_error>

namespace ui {

namespace {

std::thread StartThread(std::function<void()> body) { return std::thread(std::move(body)); }

}  // namespace

Workers::Workers(std::function<void()> request_stop, ThreadStarter start_thread, int max_threads)
    : request_stop_(std::move(request_stop)),
      start_thread_(start_thread ? std::move(start_thread) : ThreadStarter(StartThread)),
      max_threads_(std::max(1, max_threads)) {}

Workers::~Workers() { StopAndJoin(); }

bool Workers::Start(std::function<void()> job) {
  std::unique_lock lock(mutex_);
  if (stopping_) return false;
  // A job that finds no idle thread gets a new one while the pool is not full. Threads are made
  // under the lock: a new thread takes its first job only once the lock is free.
  const int waiting = static_cast<int>(queue_.size());
  if (waiting >= idle_ && static_cast<int>(threads_.size()) < max_threads_) {
    try {
      threads_.push_back(start_thread_([this] { Serve(); }));
    } catch (const std::system_error&) {
      // Without any thread the job would never run; with some it waits for one of them.
      if (threads_.empty()) return false;
    }
  }
  queue_.push_back(std::move(job));
  lock.unlock();
  work_.notify_one();
  return true;
}

void Workers::Serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    ++idle_;
    work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    --idle_;
    if (queue_.empty()) return;  // stopping, and nothing more to run
    std::function<void()> job = std::move(queue_.front());
    queue_.pop_front();
    ++active_;
    lock.unlock();
    try {
      job();
    } catch (...) {
      // An exception leaving the thread would end the process; the job has failed and is
      // finished all the same.
    }
    // What the job holds goes before the next one starts, and outside the lock.
    job = nullptr;
    lock.lock();
    --active_;
    finished_.notify_all();
  }
}

int Workers::Running() const {
  std::lock_guard lock(mutex_);
  return active_ + static_cast<int>(queue_.size());
}

int Workers::Threads() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(threads_.size());
}

bool Workers::Stopping() const {
  std::lock_guard lock(mutex_);
  return stopping_;
}

void Workers::RequestStop() {
  // Transfers are asked to stop before the threads hear of it: a queued job that runs after
  // this finds its transfers ended at once.
  if (request_stop_) request_stop_();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  work_.notify_all();
}

bool Workers::WaitIdle(std::chrono::milliseconds grace) {
  std::unique_lock lock(mutex_);
  return finished_.wait_for(lock, grace, [this] { return active_ == 0 && queue_.empty(); });
}

void Workers::StopAndJoin() {
  RequestStop();
  std::vector<std::thread> all;
  {
    std::lock_guard lock(mutex_);
    all.swap(threads_);
  }
  for (std::thread& thread : all) {
    if (thread.joinable()) thread.join();
  }
}

}  // namespace ui
