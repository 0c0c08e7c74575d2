#include "platform/Clock.h"

#include <ctime>

namespace tbx {
namespace {

// Without TZ the C library looks at /etc/localtime again on every local
// time it makes, one stat call per log line; naming that file once is the
// same zone without the calls (a zone change during a run is not followed).
void SettleTimeZone() {
  static const bool settled = [] {
    if (!qEnvironmentVariableIsSet("TZ")) qputenv("TZ", ":/etc/localtime");
    ::tzset();
    return true;
  }();
  (void)settled;
}

std::function<QDateTime()>& ClockOverride() {
  static std::function<QDateTime()> clock;
  return clock;
}
}  // namespace

QDateTime Now() {
  const auto& clock = ClockOverride();
  if (clock) return clock();
  SettleTimeZone();
  return QDateTime::currentDateTime();
}

QDateTime ToLocalTime(const QDateTime& time) { return time.toLocalTime(); }

void SetClockForTests(std::function<QDateTime()> clock) { ClockOverride() = std::move(clock); }

}  // namespace tbx
