#include "platform/Clock.h"
#include "platform/SystemCalls.h"

namespace tbx {

// Windows keeps the time zone in the system, not in a file looked at per
// call: nothing to settle.
QDateTime SystemNow() { return QDateTime::currentDateTime(); }

}  // namespace tbx
