#pragma once
// The spreadsheet side of a run: starting the application, opening workbooks
// with their header row, switching to the next workbook part when one is
// full, and the final save with the question whether to show the result.
#include <QString>
#include <memory>

#include "common/RunLog.h"
#include "interaction/Dialogs.h"
#include "platform/FileSystem.h"
#include "interaction/ProgressView.h"
#include "run/ColumnMapping.h"
#include "xls/Spreadsheet.h"

namespace tbx {

// What a run holds of the spreadsheet from start to end; the run driver owns
// it and its run-time error path saves through it.
struct WorkbookState {
  std::unique_ptr<Application> application;
  Workbook* workbook = nullptr;    // the current workbook part, owned by the application
  Worksheet* worksheet = nullptr;  // the sheet receiving the rows
  bool startedHere = false;        // this run created the application
  QString targetPath;              // where the current workbook will be saved
  QString basePath;                // the target as first chosen; part names derive from it
  int partNumber = 0;
  // Added to a document's number within the part to give its row: 1 with a
  // header row, else 0, and one less for every document of the part that was
  // not written, so the next written document takes the free row.
  int rowOffset = 0;
  // The file this run saved last, so that saving it again (the run-time
  // error path after the finish) replaces it without another backup.
  QString savedPath;
  FileIdentity savedIdentity;
};

// Finds or starts the application and opens the first workbook with its
// header row; basePath becomes the current targetPath. False (after the log
// line and a message box) when no application can be had.
bool StartWorkbookOutput(Dialogs& dialogs, RunLog& log, WorkbookState& state, const ColumnMapping& mapping);

// Saves and closes the full workbook as part partNumber, then opens the next
// part with its header row.
void NextWorkbookPart(RunLog& log, WorkbookState& state, const ColumnMapping& mapping);

// Saves the workbook, asks whether to show it ("Arbeiten abgeschlossen", or
// "abgebrochen" after a cancel; report, when given, above the question),
// and shows it or closes it (quitting an application started here). A
// workbook no program can show is said in a warning, and closed.
void FinishWorkbookOutput(Dialogs& dialogs, ProgressView& progress, RunLog& log, WorkbookState& state,
                          bool cancelled, const QString& report = QString());

// The one save call: the current workbook under targetPath. A file already
// there that this run did not save is kept under its backup name (logged);
// a failed save leaves it at its name. Nothing happens without an
// application or workbook.
void SaveWorkbook(RunLog& log, WorkbookState& state);

// The cell of a mapped column in row: the column's key, column letters of
// the sheet's grid (A to IV, A to XFD in .xlsx workbooks), and the row
// number. Any other key ("C1" would give C12 for row 2) throws the run-time
// error of an invalid cell reference.
std::unique_ptr<Range> ColumnCell(Worksheet& sheet, const MappedColumn& column, int row);
// The same check, giving the column's number (1-based).
int ColumnNumber(const MappedColumn& column, int row, SheetGrid grid = kXlsGrid);

// The extension of the workbooks of a run writing target: ".xlsx" for an
// .xlsx name (any case), ".xls" for every other.
QString WorkbookExtension(const QString& target);

// Name of part k of a run whose target was basePath: folder, base name, "_",
// the part number in at least three digits and the workbook extension.
QString WorkbookPartName(const QString& basePath, int part);

}  // namespace tbx
