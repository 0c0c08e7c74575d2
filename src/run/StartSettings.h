#pragma once
// Step 1 of a run: the start-up settings of [Config].
#include <QString>

#include "common/ConfigKeys.h"
#include "run/RunState.h"

namespace tbx {

// The documents one workbook takes: the trimmed text as a whole number;
// "", a non-number, 1000 or less, or more than largest give 65000.
int MaxRangeFromText(const QString& text, int largest = ini::kMaxRangeMax);

// maxRange for the workbook at target, read up to the .xlsx limit: an .xls
// workbook takes no more than 65000, anything above gives 65000 as if it
// had been read for it.
int MaxRangeForTarget(int maxRange, const QString& target);

// The extension list of the scan: the trimmed text, "*" when it is empty.
QString PatternFromText(const QString& text);

// Reads WriteLog (and switches the log), GUI, Zelltypen, maxRange (up to
// the .xlsx limit, until the target is known) and Pattern into run.
void ReadStartSettings(RunState& run);

}  // namespace tbx
