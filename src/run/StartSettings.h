#pragma once
// Step 1 of a run: the start-up settings of [Config].
#include <QString>

#include "run/RunState.h"

namespace tbx {

// The documents one workbook takes: the trimmed text as a whole number;
// "", a non-number, 1000 or less, or more than 65000 give 65000.
int MaxRangeFromText(const QString& text);

// The extension list of the scan: the trimmed text, "*" when it is empty.
QString PatternFromText(const QString& text);

// Reads WriteLog (and switches the log), GUI, maxRange and Pattern into run.
void ReadStartSettings(RunState& run);

}  // namespace tbx
