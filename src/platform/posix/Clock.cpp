#include "platform/Clock.h"
#include "platform/SystemCalls.h"

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

}  // namespace

QDateTime SystemNow() {
  SettleTimeZone();
  return QDateTime::currentDateTime();
}


}  // namespace tbx
