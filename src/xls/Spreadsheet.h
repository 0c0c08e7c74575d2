#pragma once
// The spreadsheet automation the run drives: application, workbook,
// worksheet, range and interior, with the operations a run needs. Every
// failing call throws RunError (number 1004 for workbook errors, the
// classic file numbers for a failed save); only finding or starting the
// application reports failure through its result.
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

#include "common/RunError.h"
#include "xls/CellReference.h"

namespace tbx {

// Interior.Pattern of a solid fill in the colour of Interior.ColorIndex.
inline constexpr int kPatternSolid = 1;

class Worksheet;
class Workbook;

class Range {
 public:
  virtual ~Range() = default;
  virtual void SetNumberFormat(const QString& format) = 0;  // "@"
  virtual void SetValue(const QString& text) = 0;
  // A number cell in the general format (a text format set before gives
  // way, or the number would be shown as text); NaN and infinities throw.
  virtual void SetNumber(double value) = 0;
  // A date cell showing value in local time as TT.MM.JJJJ hh:mm:ss. Dates
  // before 01.01.1900 or after 31.12.9999 throw (xls::SpreadsheetSerial
  // tells beforehand).
  virtual void SetDateTime(const QDateTime& value) = 0;
  virtual void Select() = 0;
};

class Worksheet {
 public:
  virtual ~Worksheet() = default;
  // The rows and columns the sheet has.
  virtual SheetGrid Grid() const = 0;
  // One cell by row and column (1-based); out-of-range indexes throw.
  virtual std::unique_ptr<Range> Cells(int row, int column) = 0;
  // One cell by A1 reference such as "C17"; anything else throws 1004.
  virtual std::unique_ptr<Range> GetRange(const QString& a1) = 0;
  // Rows(1).Font.Bold = true
  virtual void SetFirstRowBold() = 0;
  // Row 1 stays in view while the rows below it scroll, and carries an
  // autofilter over its columns (as far as the sheet uses them when saved).
  virtual void FreezeAndFilterFirstRow() = 0;
};

class Workbook {
 public:
  virtual ~Workbook() = default;
  // The active sheet when it is a worksheet, else nullptr.
  virtual Worksheet* ActiveWorksheet() = 0;
  // Worksheets.Add with every argument omitted.
  virtual Worksheet* AddWorksheet() = 0;
  // SaveAs(path, access mode 1): written in the default format, replacing an
  // existing file; a failed save leaves any earlier file untouched and throws.
  virtual void SaveAs(const QString& path) = 0;
  virtual void Close() = 0;
};

class Application {
 public:
  virtual ~Application() = default;
  virtual void SetDisplayAlerts(bool on) = 0;
  // Workbooks.Add: a new, unsaved workbook owned by the application.
  virtual Workbook* AddWorkbook() = 0;
  // Visible = true: show the last saved workbook to the user.
  virtual void SetVisible(bool visible) = 0;
  virtual void Quit() = 0;
  // Selection.Interior: ColorIndex and Pattern of the cell last selected.
  virtual void SetSelectionInteriorColorIndex(int index) = 0;
  virtual void SetSelectionInteriorPattern(int pattern) = 0;
};

// The error of a reference that is no A1 cell reference of grid (number 1004).
RunError InvalidCellReference(const QString& a1, SheetGrid grid = kXlsGrid);

// The running application, or nullptr (there is never one to find here).
std::unique_ptr<Application> GetRunningApplication();
// A new application, or nullptr when none can be had.
std::unique_ptr<Application> CreateApplication();

// Replaces what CreateApplication returns (tests of other applications and
// of a failed start); an empty function restores the writer.
using ApplicationFactory = std::function<std::unique_ptr<Application>()>;
void SetApplicationFactoryForTests(ApplicationFactory factory);

}  // namespace tbx
