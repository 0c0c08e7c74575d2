#pragma once
// Work done ahead of a loop that takes its results strictly in order: on a
// file server every document waits for the network, and one at a time
// leaves disk and network idle. Helpers of the run's pool produce the items
// after the current one within a bounded window; the loop stays on one
// thread and in order, so everything it writes comes out as without
// read-ahead: only when an item was produced differs (at most `window`
// items before its turn).
//
// The one invariant: taken ≤ next ≤ min(count, taken + window), and exactly
// the items taken .. next - 1 have a slot (item % window) that names them,
// each queued, being produced, done, or failed.
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "common/WorkerPool.h"

namespace tbx {

template <class Result>
class ReadAhead : public PoolJob {
 public:
  // produce(item, worker) makes an item's result on whichever thread takes
  // it (worker: the helper's number, -1 on the loop's thread);
  // failed(item, failure) makes the result of an item whose production threw
  // on a helper (on the loop's thread, so a failure there ends the run
  // through its error path). Without helpers nothing is made ahead.
  ReadAhead(WorkerPool& pool, qsizetype count, int window, std::function<Result(qsizetype, int)> produce,
            std::function<Result(qsizetype, std::exception_ptr)> failed)
      : pool_(pool),
        count_(count),
        window_(std::max(1, window)),
        produce_(std::move(produce)),
        failed_(std::move(failed)),
        slots_(pool.Size() > 0 && window > 0 ? size_t(window_) : 0) {
    if (Active()) Claim(std::min<qsizetype>(count_, window_));
  }
  ~ReadAhead() override {
    {
      const std::lock_guard<Mutex> lock(mutex_);
      stop_ = true;
    }
    pool_.Withdraw(*this);
  }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  bool Active() const { return !slots_.empty(); }

  // The result of item, the one after the item taken last; while it waits
  // for its helper, whileWaiting runs every few milliseconds, so a document
  // that keeps a file server waiting does not keep the window waiting too.
  Result Take(qsizetype item, const std::function<void()>& whileWaiting) {
    if (!Active()) return produce_(item, -1);
    std::unique_lock<Mutex> lock(mutex_);
    Slot& slot = slots_[size_t(item % window_)];
    if (slot.state == State::Queued) {
      // No helper has started it: the loop makes it itself rather than wait.
      slot.state = State::Running;
      lock.unlock();
      std::optional<Result> result;
      result.emplace(produce_(item, -1));
      lock.lock();
      slot.result = std::move(result);
      slot.state = State::Done;
    }
    awaited_ = item;
    while (slot.state == State::Running) {
      if (whileWaiting) {
        if (!ready_.wait_for(lock, std::chrono::milliseconds(10), [&] { return slot.state != State::Running; })) {
          lock.unlock();
          whileWaiting();
          lock.lock();
        }
      } else {
        ready_.wait(lock);
      }
    }
    awaited_ = -1;
    std::optional<Result> result = std::move(slot.result);
    const std::exception_ptr failure = slot.failure;
    slot = Slot{};
    taken_ = item + 1;
    // New items are queued once half the window is free, not one by one:
    // on a fast local disk the wake-ups would cost more than the reads.
    const qsizetype room = std::min(count_, taken_ + window_) - next_;
    const qsizetype claim = room >= std::max<qsizetype>(1, window_ / 2) || next_ == taken_ ? room : 0;
    lock.unlock();
    if (claim > 0) Claim(claim);
    if (failure) return failed_(item, failure);
    return std::move(*result);
  }

  void Run(qsizetype item, int worker) override {
    Slot& slot = slots_[size_t(item % window_)];
    {
      const std::lock_guard<Mutex> lock(mutex_);
      // The loop may have taken the item over and the slot may hold a later
      // item by now: a queued task of an item taken is left undone.
      if (stop_ || slot.item != item || slot.state != State::Queued) return;
      slot.state = State::Running;
    }
    std::optional<Result> result;
    result.emplace(produce_(item, worker));
    const std::lock_guard<Mutex> lock(mutex_);
    slot.result = std::move(result);
    slot.state = State::Done;
    if (awaited_ == item) ready_.notify_one();
  }

  void Failed(qsizetype item, std::exception_ptr failure) noexcept override {
    Slot& slot = slots_[size_t(item % window_)];
    const std::lock_guard<Mutex> lock(mutex_);
    if (slot.item != item || slot.state != State::Running) return;
    slot.failure = std::move(failure);
    slot.state = State::Done;
    if (awaited_ == item) ready_.notify_one();
  }

 private:
  enum class State { Free, Queued, Running, Done };
  struct Slot {
    qsizetype item = -1;  // the item the slot holds now
    State state = State::Free;
    std::optional<Result> result;
    std::exception_ptr failure;
  };

  // Queues the next n items.
  void Claim(qsizetype n) {
    qsizetype first = 0;
    {
      const std::lock_guard<Mutex> lock(mutex_);
      first = next_;
      for (qsizetype i = first; i < first + n; ++i) {
        Slot& slot = slots_[size_t(i % window_)];
        slot.item = i;
        slot.state = State::Queued;
      }
      next_ = first + n;
    }
    pool_.Submit(*this, first, n);
  }

  WorkerPool& pool_;
  const qsizetype count_;
  const int window_;
  const std::function<Result(qsizetype, int)> produce_;
  const std::function<Result(qsizetype, std::exception_ptr)> failed_;
  Mutex mutex_;
  Condition ready_;  // the loop: the item it waits for is done
  std::vector<Slot> slots_;
  qsizetype next_ = 0;   // the next item to queue
  qsizetype taken_ = 0;  // every item below is taken
  qsizetype awaited_ = -1;
  bool stop_ = false;
};

}  // namespace tbx
