#pragma once
// The one run-time error path of a run: what happens when a failure in
// handled error mode reaches the driver.
#include <QString>

#include "common/RunError.h"
#include "run/RunState.h"

namespace tbx {

// "Laufzeitfehler " + number + ": " + description.
QString RunTimeErrorText(const RunError& error);

// Logs the error and "Programm wird abgebrochen", saves the current workbook
// under the current target path, quits an application this run started,
// shows the critical message and closes the progress window. Runs once; a
// failure inside it is ignored so that the message is always shown.
void EndWithRunTimeError(RunState& run, const RunError& error);

}  // namespace tbx
