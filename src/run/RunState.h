#pragma once
// The state one run carries from "Programmstart" to its end. The driver owns
// it; every phase receives it, reads what earlier phases settled and leaves
// its own results here for the phases after it and for the run-time error
// path (which saves the current workbook and quits an application started
// by the run).
#include <QString>
#include <QStringList>
#include <memory>

#include "common/Config.h"
#include "common/FoundDocuments.h"
#include "common/RunLog.h"
#include "database/modDatabase.h"
#include "interaction/Dialogs.h"
#include "interaction/ProgressView.h"
#include "platform/FileSystem.h"
#include "run/WorkbookOutput.h"

namespace tbx {

// The desktop run asks for folder and workbook; the batch run takes both
// from the configuration and ignores the GUI switch.
enum class RunKind { Desktop, Batch };

// How a run ended; the batch program's exit status is its value.
enum class RunOutcome : int { WorkbookWritten = 0, Stopped = 1, RunTimeError = 2 };

// What the batch program's closing summary reports.
struct RunStats {
  qint64 rowsWritten = 0;
  qint64 rowsMarked = 0;     // rows with at least one cell marked for its format
  qint64 workbookFiles = 0;  // workbook files saved
};

struct RunState {
  RunKind kind = RunKind::Desktop;
  // The dialogs and progress view of this run: those installed when the
  // state is made (the programs install theirs before the run, tests fakes).
  Dialogs* dialogs = &TheDialogs();
  ProgressView* progress = &TheProgress();
  QString configPath;  // the configuration in use; the loop takes a snapshot of it per document
  RunLog log;          // written on the run's thread only

  // Start-up settings (step 1).
  bool gui = true;
  int maxRange = DefaultNumber(ini::kMaxRange);  // documents per workbook part
  QString pattern = QString::fromLatin1(ini::kPattern.defaultValue);
  bool typedCells = false;  // numbers and dates as number and date cells

  // Folder and target (steps 3 to 6).
  QString startDir;    // with trailing separator
  bool databaseMode = false;
  bool goAhead = false;  // cleared by every failed check; the gate reads it
  std::unique_ptr<DatabaseConnection> database;  // open for the whole run in database mode
  DatabaseLogin databaseLogin;                   // what opened it, for the record read-ahead's connections
  ReferenceCache references;                     // the display texts of reference fields, for the run
  std::unique_ptr<FileLock> targetLock;          // held while this run may write the workbook

  // Spreadsheet side: application, current workbook part and target path.
  WorkbookState workbook;

  FoundDocuments foundDocuments;  // the scan's result, in processing order

  // Outcome.
  bool cancelled = false;      // the user stopped the document loop
  bool workbookSaved = false;  // the finish saved the workbook
  RunStats stats;
};

}  // namespace tbx
