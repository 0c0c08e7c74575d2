#pragma once
// The run driver: one run from "Programmstart" to its end, in a fixed order
// of phases, with the run-time error path around all of it.
#include <QString>
#include <functional>

#include "run/RunState.h"

namespace tbx {

// The desktop run: configuration beside the program, the GUI switch, the
// folder dialog and the save dialog, through the dialogs in force.
RunOutcome RunDesktop();
// The same with the configuration at configPath, whose folder serves as the
// program's folder (log, relative workbook path).
RunOutcome RunDesktop(const QString& configPath);

// What a finished run reports to the batch program's closing summary.
struct RunSummary {
  qint64 documentsFound = 0;
  RunStats stats;
  QString firstWorkbook;  // the target, or part 000 when the run was split
  QString lastWorkbook;   // the last file saved
  QString logFile;        // today's run log, "" when the log is off
};

// The batch run: the configuration at configPath, whose folder serves as the
// program's folder (log, relative workbook path); the configured target; the
// GUI switch is ignored and no "Benutzeraktion" lines are written.
// logFailure hears once when the log cannot be written.
RunOutcome RunBatch(const QString& configPath, RunSummary* summary = nullptr,
                    std::function<void(const QString&)> logFailure = {});

// Runs the phases on a prepared state (kind and configPath set).
RunOutcome DriveRun(RunState& run);

// The batch program's exit status: 0 workbook written, 1 a failed check or a
// cancelled step, 2 a run-time error.
int ExitStatus(RunOutcome outcome);

}  // namespace tbx
