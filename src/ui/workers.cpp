#include "ui/workers.h"

#include <system_error>

namespace ui {

namespace {

std::thread StartThread(std::function<void()> body) { return std::thread(std::move(body)); }

}  // namespace

Workers::Workers(std::function<void()> request_stop, ThreadStarter start_thread)
    : request_stop_(std::move(request_stop)),
      start_thread_(start_thread ? std::move(start_thread) : ThreadStarter(StartThread)) {}

Workers::~Workers() { StopAndJoin(); }

bool Workers::Start(std::function<void()> job) {
  JoinFinished();
  std::lock_guard lock(mutex_);
  if (stopping_) return false;
  // The worker joins the registry only once its thread exists: one that never ran would
  // never be done, and every exit would wait for it the whole grace. Its thread cannot mark
  // it done before then, as that needs the lock held here.
  std::list<Worker> pending(1);
  Worker& worker = pending.back();
  try {
    worker.thread = start_thread_([this, &worker, job = std::move(job)] {
      try {
        job();
      } catch (...) {
        // An exception leaving the thread would end the process; the job has failed and
        // is finished all the same.
      }
      {
        std::lock_guard done_lock(mutex_);
        worker.done = true;
      }
      finished_.notify_all();
    });
  } catch (const std::system_error&) {
    return false;
  }
  workers_.splice(workers_.end(), pending);
  return true;
}

int Workers::Running() const {
  std::lock_guard lock(mutex_);
  int running = 0;
  for (const Worker& worker : workers_) running += worker.done ? 0 : 1;
  return running;
}

bool Workers::Stopping() const {
  std::lock_guard lock(mutex_);
  return stopping_;
}

void Workers::JoinFinished() {
  std::list<Worker> finished;
  {
    std::lock_guard lock(mutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
      auto next = std::next(it);
      if (it->done) finished.splice(finished.end(), workers_, it);
      it = next;
    }
  }
  for (Worker& worker : finished) worker.thread.join();
}

void Workers::RequestStop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  if (request_stop_) request_stop_();
}

bool Workers::WaitIdle(std::chrono::milliseconds grace) {
  std::unique_lock lock(mutex_);
  return finished_.wait_for(lock, grace, [this] {
    for (const Worker& worker : workers_) {
      if (!worker.done) return false;
    }
    return true;
  });
}

void Workers::StopAndJoin() {
  RequestStop();
  std::list<Worker> all;
  {
    std::lock_guard lock(mutex_);
    all.swap(workers_);
  }
  for (Worker& worker : all) worker.thread.join();
}

}  // namespace ui
