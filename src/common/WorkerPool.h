#pragma once
// The helper threads of a run: one pool, started once, that lists the
// folders of the scan and reads documents ahead of the loop. Work comes as
// items of a job; every item runs inside the one guard, which hands a
// failure (a lack of memory, any exception) to its job instead of ending the
// program. A system that will not start as many threads as asked gives
// fewer, or none: the run then does the work on its own thread. Of the
// helpers only as many run items at once as keep the processors busy: all
// of them while items wait for a disk or a file server, a few more than the
// processors while items are all computation.
#include <QtGlobal>
#include <chrono>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Threads.h"

namespace tbx {

// How many threads read files at once: TABELLIX_READERS when set (0 to 64;
// 0 and 1 read on the run's own thread alone), else 4 per core, 4 to 16.
// On a file server every open and listing waits for the network, so a few
// threads per core keep it busy; on a local disk they cost little.
int ConfiguredReaders();

// Work a pool runs item by item. worker is the helper's number (0 ..
// Size() - 1), -1 on the thread that called RunQueued.
class PoolJob {
 public:
  virtual ~PoolJob() = default;
  virtual void Run(qsizetype item, int worker) = 0;
  // Run(item) threw: the failure, on the thread that ran it. Must not throw.
  virtual void Failed(qsizetype item, std::exception_ptr failure) noexcept = 0;
};

class WorkerPool {
 public:
  // Starts up to `helpers` threads below the run's priority. leaving, when
  // given, runs on each helper as it ends, with its number: what a helper
  // opened for itself (a database connection) is closed on its own thread.
  explicit WorkerPool(int helpers, std::function<void(int worker)> leaving = {});
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // The helpers that could be started.
  int Size() const { return int(threads_.size()); }
  // How many of them may run items at once now.
  int Allowed() const;

  // Queues items first .. first + count - 1 of job, in that order. Without
  // helpers nothing runs them until RunQueued is called.
  void Submit(PoolJob& job, qsizetype first, qsizetype count = 1);
  // Runs the oldest queued item on the calling thread; false when none is queued.
  bool RunQueued();
  // Drops the items of job still queued and waits until none of its items
  // runs any more.
  void Withdraw(PoolJob& job);
  // Waits until no item is queued or running, or until `wait` has passed;
  // true when idle.
  bool WaitIdle(std::chrono::milliseconds wait);

 private:
  struct Task {
    PoolJob* job;
    qsizetype item;
  };
  void Serve(int worker);
  static void Guarded(const Task& task, int worker) noexcept;
  bool Idle() const { return queue_.empty() && running_.empty(); }
  // Wakes up to n sleeping helpers among the allowed ones, under mutex_.
  void Wake(qsizetype n);
  // Takes in what one item of `wall` nanoseconds cost its helper (a
  // difference of two ReadThreadTimes) and sets allowed_.
  void Learn(qint64 wall, const ThreadTimes& item);

  // With the files in the page cache an item is work for a processor from
  // start to end, and helpers beyond the processors only take turns on them:
  // each one interrupted in the middle of a document keeps the loop waiting
  // for it while the others run ahead, and at four helpers per core a core
  // sat idle for a quarter of the run. On a cold disk or a file server an
  // item mostly waits, and every helper is wanted. So a helper times one
  // item in kTimeEvery, and the pool lets as many run at once as keep the
  // processors busy; where the system cannot tell, all of them. The ones
  // that run are the first allowed_: taking turns among all of them, each
  // woken helper came with cold caches, and the run was a fifth slower.
  const int processors_;
  int allowed_ = 0;
  double blockedShare_ = 0;  // of an item's time, decaying over the items timed

  mutable Mutex mutex_;
  struct Helper {
    Condition wake;  // an item was queued, the helper is allowed again, or quit
    bool asleep = false;
  };
  std::vector<Helper> helpers_;  // by helper number, made before the threads and never resized
  Condition done_;  // waiters: an item finished
  std::deque<Task> queue_;
  std::vector<PoolJob*> running_;  // the job of every item being run
  bool quit_ = false;
  std::function<void(int)> leaving_;
  std::vector<std::thread> threads_;
};

}  // namespace tbx
