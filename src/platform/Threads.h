#pragma once
// How helper threads yield to the run's own thread, and the lock and
// condition by which they hand work over to it.
#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tbx {

// Lowers the calling thread's scheduling priority a few steps below the
// run's. Helpers that list folders or read documents call it: with the files
// in the page cache every helper always wants a core, and at equal priority
// eight of them left the run's thread, which the window and every row wait
// for, a fraction of one. Waiting on a file server they sleep, and their
// priority does not matter.
void LowerHelperPriority();

// The calling thread's account since it started: nanoseconds on a
// processor, and how often it gave its processor up to wait (for a file, a
// lock, the network) rather than having it taken. False where the system
// does not tell.
struct ThreadTimes {
  qint64 running = 0;
  qint64 waits = 0;
};
[[nodiscard]] bool ReadThreadTimes(ThreadTimes& times);

#ifdef _WIN32
// The system's slim lock and condition variable. MinGW's standard ones wait
// on kernel events and semaphores, so each hand-over between a helper and
// the loop was a call into the kernel; under Wine a round trip to its
// server, as many as the file calls of a document. Both need no
// initialisation beyond a null word and nothing at the end.
class Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void lock();
  bool try_lock();
  void unlock();

 private:
  friend class Condition;
  void* state_ = nullptr;
};

class Condition {
 public:
  Condition() = default;
  Condition(const Condition&) = delete;
  Condition& operator=(const Condition&) = delete;
  void notify_one();
  void notify_all();
  void wait(std::unique_lock<Mutex>& lock) { SleepFor(lock, kForever); }
  template <class Predicate>
  void wait(std::unique_lock<Mutex>& lock, Predicate ready) {
    while (!ready()) wait(lock);
  }
  // False when `wait` has passed and ready() still is not true.
  template <class Predicate>
  bool wait_for(std::unique_lock<Mutex>& lock, std::chrono::milliseconds wait, Predicate ready) {
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!ready()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      SleepFor(lock, left.count());
    }
    return true;
  }

 private:
  static constexpr qint64 kForever = -1;
  void SleepFor(std::unique_lock<Mutex>& lock, qint64 milliseconds);
  void* state_ = nullptr;
};
#else
using Mutex = std::mutex;
using Condition = std::condition_variable;
#endif

}  // namespace tbx
