#include "platform/Clock.h"
#include "platform/SystemCalls.h"

#include <QTimeZone>

namespace tbx {

// Windows keeps the time zone in the system, not in a file looked at per
// call: nothing to settle.
QDateTime SystemNow() { return QDateTime::currentDateTime(); }

// Qt asks Windows for the time zone on every local time it works out, and
// under Wine each question read the zone's registry keys anew: a run spent
// more time on that than on reading its documents. The zone read once gives
// the same local times, daylight saving time included.
QDateTime ToLocalTime(const QDateTime& time) {
  static const QTimeZone zone = QTimeZone::systemTimeZone();
  return time.toTimeZone(zone);
}

}  // namespace tbx
