#pragma once
// What the .xls and the .xlsx writer do alike behind the spreadsheet
// automation (Spreadsheet.h): the errors of its misuse and the rules for a
// cell's formatting and typed values, so both give users the same cells and
// the same messages.
#include <QDateTime>
#include <QString>

#include "common/RunError.h"
#include "xls/Book.h"
#include "xls/CellReference.h"

namespace tbx {

// Errors of the automation (number 1004).
RunError WorkbookClosedError();
RunError ApplicationEndedError();
RunError NoSelectionError();
RunError CellOutsideSheetError(int row, int column, SheetGrid grid);

// Range.NumberFormat: "@" (text) or the general format ("General",
// "Standard"); any other format throws 1004.
void ApplyNumberFormat(xls::CellStyle& style, const QString& format);
// Interior.ColorIndex: 1..56 fills the cell solidly in that colour, -4142
// removes the fill; anything else throws 1004.
void ApplyInteriorColorIndex(xls::CellStyle& style, int index);
// Interior.Pattern: solid (a cell without a colour turns white), -4142 no
// fill; anything else throws 1004.
void ApplyInteriorPattern(xls::CellStyle& style, int pattern);

// The number a cell can hold: a finite one; NaN and infinities throw 1004.
double CellNumber(double value);
// The serial date a date cell holds for value; dates no spreadsheet shows
// (xls::SpreadsheetSerial) throw 1004.
double CellDateTime(const QDateTime& value);

// Shows the saved workbook at path with the desktop's program for it; 1004
// when there is none.
void ShowSavedWorkbook(const QString& path);

}  // namespace tbx
