#pragma once
// The one source of "now": the log, the workbook rename and the batch
// summary ask it, so tests can pin the time.
#include <QDateTime>
#include <functional>

namespace tbx {

// Local date and time now (or what a test installed).
QDateTime Now();

// Milliseconds since the epoch now (or of what a test installed): a cheap
// reading for a caller that only asks whether a second has passed, where
// making the local time would ask the time zone.
qint64 NowMSecsSinceEpoch();

// Installs a replacement clock; an empty function restores the system clock.
void SetClockForTests(std::function<QDateTime()> clock);

}  // namespace tbx
