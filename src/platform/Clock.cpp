#include "platform/Clock.h"

namespace tbx {
namespace {
std::function<QDateTime()>& ClockOverride() {
  static std::function<QDateTime()> clock;
  return clock;
}
}  // namespace

QDateTime Now() {
  const auto& clock = ClockOverride();
  return clock ? clock() : QDateTime::currentDateTime();
}

void SetClockForTests(std::function<QDateTime()> clock) { ClockOverride() = std::move(clock); }

}  // namespace tbx
