#include "platform/Threads.h"

#include <windows.h>

namespace tbx {

// Windows runs the ready thread of the highest priority first: one step
// below normal already gives the run's thread the core whenever it wants
// one. A refusal leaves the thread as it was; that only costs speed.
void LowerHelperPriority() { (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

// Windows counts a thread's processor time in clock ticks of 16 ms, too
// coarse for a document of 20 microseconds: the pool lets every helper run.
bool ReadThreadTimes(ThreadTimes&) { return false; }

static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*),
              "the lock and the condition are one pointer each");

namespace {
PSRWLOCK Lock(void*& state) { return reinterpret_cast<PSRWLOCK>(&state); }
PCONDITION_VARIABLE Variable(void*& state) { return reinterpret_cast<PCONDITION_VARIABLE>(&state); }
}  // namespace

void Mutex::lock() { AcquireSRWLockExclusive(Lock(state_)); }
bool Mutex::try_lock() { return TryAcquireSRWLockExclusive(Lock(state_)) != 0; }
void Mutex::unlock() { ReleaseSRWLockExclusive(Lock(state_)); }

void Condition::notify_one() { WakeConditionVariable(Variable(state_)); }
void Condition::notify_all() { WakeAllConditionVariable(Variable(state_)); }

// A wake-up without a notification is allowed, as for the standard
// condition: every caller checks its predicate again.
void Condition::SleepFor(std::unique_lock<Mutex>& lock, qint64 milliseconds) {
  const DWORD wait = milliseconds < 0 ? INFINITE : DWORD(qMin<qint64>(milliseconds, INFINITE - 1));
  (void)SleepConditionVariableSRW(Variable(state_), Lock(lock.mutex()->state_), wait, 0);
}

}  // namespace tbx
