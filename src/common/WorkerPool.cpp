#include "common/WorkerPool.h"

#include <algorithm>

#include "platform/Threads.h"

namespace tbx {

int ConfiguredReaders() {
  bool ok = false;
  const int configured = qEnvironmentVariableIntValue("TABELLIX_READERS", &ok);
  if (ok) return std::clamp(configured, 0, 64);
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  return std::clamp(4 * cores, 4, 16);
}

WorkerPool::WorkerPool(int helpers, std::function<void(int)> leaving) : leaving_(std::move(leaving)) {
  for (int i = 0; i < helpers; ++i) {
    try {
      threads_.emplace_back([this, i] {
        LowerHelperPriority();
        Serve(i);
        if (leaving_) leaving_(i);
      });
    } catch (...) {
      // A process limit or a lack of memory: the pool goes on with the
      // helpers it has; fewer only make the run slower.
      break;
    }
  }
}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard<Mutex> lock(mutex_);
    quit_ = true;
    queue_.clear();
  }
  work_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void WorkerPool::Guarded(const Task& task, int worker) noexcept {
  try {
    task.job->Run(task.item, worker);
  } catch (...) {
    task.job->Failed(task.item, std::current_exception());
  }
}

void WorkerPool::Serve(int worker) {
  std::unique_lock<Mutex> lock(mutex_);
  for (;;) {
    ++sleeping_;
    work_.wait(lock, [this] { return quit_ || !queue_.empty(); });
    --sleeping_;
    if (quit_) return;
    const Task task = queue_.front();
    queue_.pop_front();
    running_.push_back(task.job);
    lock.unlock();
    Guarded(task, worker);
    lock.lock();
    running_.erase(std::find(running_.begin(), running_.end(), task.job));
    done_.notify_all();
  }
}

void WorkerPool::Submit(PoolJob& job, qsizetype first, qsizetype count) {
  int wake = 0;
  {
    const std::lock_guard<Mutex> lock(mutex_);
    for (qsizetype i = 0; i < count; ++i) queue_.push_back(Task{&job, first + i});
    wake = int(std::min<qsizetype>(count, sleeping_));
  }
  // Only as many helpers as there are new items: waking all of them for
  // every item costs more than reading it from a local disk.
  for (int i = 0; i < wake; ++i) work_.notify_one();
}

bool WorkerPool::RunQueued() {
  Task task{};
  {
    const std::lock_guard<Mutex> lock(mutex_);
    if (queue_.empty()) return false;
    task = queue_.front();
    queue_.pop_front();
    running_.push_back(task.job);
  }
  Guarded(task, -1);
  const std::lock_guard<Mutex> lock(mutex_);
  running_.erase(std::find(running_.begin(), running_.end(), task.job));
  done_.notify_all();
  return true;
}

void WorkerPool::Withdraw(PoolJob& job) {
  std::unique_lock<Mutex> lock(mutex_);
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [&](const Task& t) { return t.job == &job; }),
               queue_.end());
  done_.wait(lock, [&] { return std::find(running_.begin(), running_.end(), &job) == running_.end(); });
}

bool WorkerPool::WaitIdle(std::chrono::milliseconds wait) {
  std::unique_lock<Mutex> lock(mutex_);
  return done_.wait_for(lock, wait, [this] { return Idle(); });
}

}  // namespace tbx
