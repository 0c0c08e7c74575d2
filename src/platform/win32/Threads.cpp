#include "platform/Threads.h"

#include <windows.h>

namespace tbx {

// Windows runs the ready thread of the highest priority first: one step
// below normal already gives the run's thread the core whenever it wants
// one. A refusal leaves the thread as it was; that only costs speed.
void LowerHelperPriority() { (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

}  // namespace tbx
