#include "platform/Clock.h"

#include "platform/SystemCalls.h"

namespace tbx {
namespace {

std::function<QDateTime()>& ClockOverride() {
  static std::function<QDateTime()> clock;
  return clock;
}

}  // namespace

QDateTime Now() {
  const auto& clock = ClockOverride();
  return clock ? clock() : SystemNow();
}

qint64 NowMSecsSinceEpoch() {
  const auto& clock = ClockOverride();
  return clock ? clock().toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
}

void SetClockForTests(std::function<QDateTime()> clock) { ClockOverride() = std::move(clock); }

}  // namespace tbx
