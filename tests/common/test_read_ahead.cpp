// The read-ahead on the run's pool: results come in order, and a helper's
// failure becomes its item's result instead of ending the program.
#include <gtest/gtest.h>

#include <QString>
#include <new>
#include <stdexcept>
#include <thread>

#include "common/ReadAhead.h"

using namespace tbx;

TEST(ReadAhead, InOrderAndAHelpersLackOfMemoryIsThatItemsResult) {
  WorkerPool pool(3);
  ASSERT_GT(pool.Size(), 0);
  ReadAhead<QString> ahead(
      pool, 50, 8,
      [](qsizetype item, int) {
        if (item % 7 == 3) throw std::bad_alloc();
        return QString::number(item);
      },
      [](qsizetype item, std::exception_ptr failure) {
        try {
          std::rethrow_exception(failure);
        } catch (const std::bad_alloc&) {
          return QStringLiteral("kein Speicher für %1").arg(item);
        }
      });
  for (qsizetype i = 0; i < 50; ++i) {
    // The helpers finish the window first, so every item is theirs.
    ASSERT_TRUE(pool.WaitIdle(std::chrono::seconds(10)));
    EXPECT_EQ(ahead.Take(i, {}), i % 7 == 3 ? QStringLiteral("kein Speicher für %1").arg(i) : QString::number(i));
  }
}

TEST(ReadAhead, OtherFailuresOfAHelperReachTheLoop) {
  WorkerPool pool(2);
  ReadAhead<int> ahead(
      pool, 4, 4, [](qsizetype item, int) -> int { throw std::runtime_error(std::to_string(item)); },
      [](qsizetype, std::exception_ptr failure) -> int { std::rethrow_exception(failure); });
  ASSERT_TRUE(pool.WaitIdle(std::chrono::seconds(10)));
  EXPECT_THROW(ahead.Take(0, {}), std::runtime_error);
}

// The loop waits for helpers that are slow: it is woken when its item is
// done, and meanwhile its own work (the window's events) goes on.
TEST(ReadAhead, TheLoopWaitsForSlowHelpersAndKeepsItsEventsGoing) {
  WorkerPool pool(2);
  ASSERT_GT(pool.Size(), 0);
  ReadAhead<qsizetype> ahead(
      pool, 6, 4,
      [](qsizetype item, int) {
        std::this_thread::sleep_for(std::chrono::milliseconds(item % 2 ? 40 : 1));
        return item;
      },
      [](qsizetype, std::exception_ptr failure) -> qsizetype { std::rethrow_exception(failure); });
  int rounds = 0;
  for (qsizetype i = 0; i < 6; ++i) EXPECT_EQ(ahead.Take(i, [&] { ++rounds; }), i);
  EXPECT_GT(rounds, 0);
}

// The pool lets as many helpers run as keep the processors busy: for items
// that are work for a processor a few more than there are processors, for
// items that wait (a file server) all of them. Where the system does not
// tell a thread's time, all of them always.
TEST(ReadAhead, ThePoolRunsAsManyHelpersAsKeepTheProcessorsBusy) {
  struct Items : PoolJob {
    std::function<void()> work;
    void Run(qsizetype, int) override { work(); }
    void Failed(qsizetype, std::exception_ptr) noexcept override {}
  };
  const int processors = int(std::max(1u, std::thread::hardware_concurrency()));
  const auto spin = [] {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(300);
    while (std::chrono::steady_clock::now() < until) {
    }
  };
  const auto wait = [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); };
  const struct {
    const char* what;
    std::function<void()> work;
    bool all;
  } cases[] = {{"computing", spin, false}, {"waiting", wait, true}};
  ThreadTimes probe;
  for (const auto& c : cases) {
    WorkerPool pool(processors + 8);
    ASSERT_EQ(pool.Size(), processors + 8);
    Items items;
    items.work = c.work;
    pool.Submit(items, 0, 400);
    ASSERT_TRUE(pool.WaitIdle(std::chrono::seconds(60)));
    if (!ReadThreadTimes(probe))
      EXPECT_EQ(pool.Allowed(), pool.Size()) << c.what;
    else if (c.all)
      EXPECT_EQ(pool.Allowed(), pool.Size()) << c.what;
    else
      EXPECT_LE(pool.Allowed(), processors + 3) << c.what;
  }
}
