#include "platform/Clock.h"

namespace tbx {
namespace {

std::function<QDateTime()>& ClockOverride() {
  static std::function<QDateTime()> clock;
  return clock;
}

}  // namespace

// Windows keeps the time zone in the system, not in a file looked at per
// call: nothing to settle.
QDateTime Now() {
  const auto& clock = ClockOverride();
  if (clock) return clock();
  return QDateTime::currentDateTime();
}

void SetClockForTests(std::function<QDateTime()> clock) { ClockOverride() = std::move(clock); }

}  // namespace tbx
