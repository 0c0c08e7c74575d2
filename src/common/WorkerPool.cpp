#include "common/WorkerPool.h"

#include <algorithm>
#include <cmath>

#include "platform/Threads.h"

namespace tbx {

int ConfiguredReaders() {
  bool ok = false;
  const int configured = qEnvironmentVariableIntValue("TABELLIX_READERS", &ok);
  if (ok) return std::clamp(configured, 0, 64);
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  return std::clamp(4 * cores, 4, 16);
}

namespace {

// A helper times one item in this many: its account costs two system calls.
constexpr qint64 kTimeEvery = 32;
// The weight of the items timed before: the measure follows a run from a
// cold disk into the page cache within a few dozen timed items.
constexpr double kKeep = 0.8;

qint64 NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// The processors are counted once: the count is read from a system file.
WorkerPool::WorkerPool(int helpers, std::function<void(int)> leaving)
    : processors_(int(std::max(1u, std::thread::hardware_concurrency()))),
      helpers_(size_t(std::max(0, helpers))),
      leaving_(std::move(leaving)) {
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
  // Helpers already waiting read it under the lock.
  const std::lock_guard<Mutex> lock(mutex_);
  allowed_ = Size();
}

void WorkerPool::Wake(qsizetype n) {
  for (int w = 0; w < allowed_ && n > 0; ++w) {
    if (!helpers_[size_t(w)].asleep) continue;
    helpers_[size_t(w)].asleep = false;  // woken: not to be counted again
    helpers_[size_t(w)].wake.notify_one();
    --n;
  }
}

int WorkerPool::Allowed() const {
  const std::lock_guard<Mutex> lock(mutex_);
  return allowed_;
}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard<Mutex> lock(mutex_);
    quit_ = true;
    queue_.clear();
  }
  for (Helper& h : helpers_) h.wake.notify_one();
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
  for (qint64 served = 0;; ++served) {
    // The first allowed_ helpers serve: the same few do the work, their
    // caches and allocators warm, and the others sleep.
    Helper& self = helpers_[size_t(worker)];
    while (!quit_ && (queue_.empty() || worker >= allowed_)) {
      self.asleep = true;
      self.wake.wait(lock);
    }
    self.asleep = false;
    if (quit_) return;
    const Task task = queue_.front();
    queue_.pop_front();
    running_.push_back(task.job);
    lock.unlock();
    ThreadTimes before, after;
    const bool timed = served % kTimeEvery == 0 && ReadThreadTimes(before);
    const qint64 start = timed ? NowNs() : 0;
    Guarded(task, worker);
    const qint64 wall = timed ? NowNs() - start : 0;
    const bool learned = timed && ReadThreadTimes(after);
    lock.lock();
    running_.erase(std::find(running_.begin(), running_.end(), task.job));
    if (learned) Learn(wall, ThreadTimes{after.running - before.running, after.waits - before.waits});
    done_.notify_all();
  }
}

void WorkerPool::Learn(qint64 wall, const ThreadTimes& item) {
  // An item that never waited spent its time on a processor or ready for
  // one; one that waited was blocked for the rest of its time. Shares, not
  // nanoseconds, are averaged: a rare wait of a millisecond (a lock whose
  // holder lost its processor) must not outweigh fifty documents.
  const double blocked =
      item.waits > 0 && wall > 0 ? std::clamp(double(wall - item.running) / double(wall), 0.0, 1.0) : 0.0;
  blockedShare_ = kKeep * blockedShare_ + (1 - kKeep) * blocked;
  // A helper is on a processor for 1 - blockedShare of its time: so many
  // more helpers keep every processor busy, and two more cover the gaps
  // while one is between items or the loop takes its turn.
  const double perProcessor = 1 / std::max(1 - blockedShare_, 1.0 / 64);
  const int wanted = int(std::ceil(processors_ * perProcessor)) + 2;
  const int before = allowed_;
  allowed_ = std::clamp(wanted, std::min(Size(), processors_ + 2), Size());
  if (allowed_ > before) Wake(qsizetype(queue_.size()));
}

void WorkerPool::Submit(PoolJob& job, qsizetype first, qsizetype count) {
  const std::lock_guard<Mutex> lock(mutex_);
  for (qsizetype i = 0; i < count; ++i) queue_.push_back(Task{&job, first + i});
  // Only as many helpers as there are new items: waking all of them for
  // every item costs more than reading it from a local disk.
  Wake(count);
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
