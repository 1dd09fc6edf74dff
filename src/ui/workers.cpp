#include "ui/workers.h"

namespace ui {

Workers::Workers(std::function<void()> request_stop) : request_stop_(std::move(request_stop)) {}

Workers::~Workers() { StopAndJoin(); }

bool Workers::Start(std::function<void()> job) {
  JoinFinished();
  std::lock_guard lock(mutex_);
  if (stopping_) return false;
  Worker& worker = workers_.emplace_back();
  worker.thread = std::thread([this, &worker, job = std::move(job)] {
    job();
    {
      std::lock_guard done_lock(mutex_);
      worker.done = true;
    }
    finished_.notify_all();
  });
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
