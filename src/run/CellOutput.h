#pragma once
// How a row's values go into their cells: as text in the text format, cut
// (#L) or quoted (#Q) as the column says, or, in a run with typed cells
// ([Config] Zelltypen), numbers and dates as number and date cells that
// spreadsheet programs can sum and sort.
#include "common/CellValue.h"
#include "run/ColumnMapping.h"
#include "xls/Spreadsheet.h"

namespace tbx {

// Writes the value of a mapped column. With typedCells a number or date
// whose text the column neither cuts nor quotes becomes a number or date
// cell; a date no spreadsheet shows (before 1900, after 9999) and every
// other value is written as without typedCells: its text, cut or quoted, in
// the text format.
void PutColumnValue(Range& cell, const MappedColumn& column, const CellValue& value, bool typedCells);

// Writes the value of a special name (Erstelldatum, %Dateityp), which is
// never cut or quoted: a date cell for a date with typedCells, else text.
void PutSpecialValue(Range& cell, const CellValue& value, bool typedCells);

}  // namespace tbx
