#include "platform/ThreadPriority.h"

#include <QtGlobal>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#endif

namespace tbx {

void LowerThreadPriority(int steps) {
#ifdef Q_OS_LINUX
  // Linux keeps a nice value per thread, addressed by the thread's id.
  const id_t self = id_t(::gettid());
  errno = 0;
  const int current = ::getpriority(PRIO_PROCESS, self);
  if (errno != 0) return;
  // A refusal leaves the thread as it was; that only costs speed.
  (void)::setpriority(PRIO_PROCESS, self, std::min(19, current + steps));
#else
  (void)steps;
#endif
}

}  // namespace tbx
