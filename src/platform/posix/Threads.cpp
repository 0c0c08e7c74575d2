#include "platform/Threads.h"

#include <QtGlobal>
#include <algorithm>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#endif

namespace tbx {

void LowerHelperPriority() {
#ifdef Q_OS_LINUX
  constexpr int kSteps = 5;
  // Linux keeps a nice value per thread, addressed by the thread's id.
  const id_t self = id_t(::gettid());
  errno = 0;
  const int current = ::getpriority(PRIO_PROCESS, self);
  if (errno != 0) return;
  // A refusal leaves the thread as it was; that only costs speed.
  (void)::setpriority(PRIO_PROCESS, self, std::min(19, current + kSteps));
#endif
}

bool ReadThreadTimes(ThreadTimes& times) {
#ifdef Q_OS_LINUX
  timespec cpu {};
  struct rusage usage {};
  if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu) != 0 || ::getrusage(RUSAGE_THREAD, &usage) != 0) return false;
  times.running = qint64(cpu.tv_sec) * 1000000000 + cpu.tv_nsec;
  times.waits = usage.ru_nvcsw;
  return true;
#else
  (void)times;
  return false;
#endif
}

}  // namespace tbx
