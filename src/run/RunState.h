#pragma once
// The state one run carries from "Programmstart" to its end. The driver owns
// it; every phase receives it, reads what earlier phases settled and leaves
// its own results here for the phases after it and for the run-time error
// path (which saves the current workbook and quits an application started
// by the run).
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/Spreadsheet.h"

namespace tbx {

// The desktop run asks for folder and workbook; the batch run takes both
// from the configuration and ignores the GUI switch.
enum class RunKind { Desktop, Batch };

// How a run ended; the batch program's exit status is its value.
enum class RunOutcome : int { WorkbookWritten = 0, Stopped = 1, RunTimeError = 2 };

inline constexpr int kDefaultMaxRange = 65000;

struct RunState {
  RunKind kind = RunKind::Desktop;
  QString configPath;  // formed once, passed to every configuration read

  // Start-up settings (step 1).
  bool gui = true;
  int maxRange = kDefaultMaxRange;  // documents per workbook part
  QString pattern = QStringLiteral("*");

  // Folder and target (steps 3 to 6).
  QString startDir;    // with trailing separator
  QString targetPath;  // the part switch of the workbook output replaces it
  bool databaseMode = false;
  bool goAhead = false;  // cleared by every failed check; the gate reads it
  // The run's database connection is held here once database access exists.

  // Spreadsheet side: the current workbook and sheet belong to the application.
  std::unique_ptr<Application> application;
  Workbook* workbook = nullptr;
  Worksheet* worksheet = nullptr;
  bool startedHere = false;  // only an application this run started is quit

  QStringList foundDocuments;  // the scan's result, in processing order

  // Outcome.
  bool cancelled = false;      // the user stopped the document loop
  bool workbookSaved = false;  // the finish saved the workbook
};

}  // namespace tbx
