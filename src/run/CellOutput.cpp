#include "run/CellOutput.h"

#include "xls/DateSerial.h"

namespace tbx {
namespace {

const QString kTextFormat = QStringLiteral("@");

// Writes a number or a date a cell can show as such; false for anything else.
bool PutTyped(Range& cell, const CellValue& value) {
  switch (value.kind) {
    case CellValue::Kind::Number:
      cell.SetNumber(value.number);
      return true;
    case CellValue::Kind::DateTime:
      // A date before 1900 (the editing time, which documents keep as a date
      // in 1601, is one) would end the run: it keeps its text.
      if (!xls::SpreadsheetSerial(value.dateTime)) return false;
      cell.SetDateTime(value.dateTime);
      return true;
    case CellValue::Kind::Text:
      break;
  }
  return false;
}

// Whether the column writes other than the value's text: cut to its #L
// length, or in the quotes of #Q (which a limited column never gets). Such
// a text is no longer the number or date it came from.
bool ChangesText(const MappedColumn& column, const QString& text) {
  if (column.MaxLength < 1) return column.Quote;
  return text.size() > column.MaxLength;
}

}  // namespace

void PutColumnValue(Range& cell, const MappedColumn& column, const CellValue& value, bool typedCells) {
  if (typedCells && !ChangesText(column, value.text) && PutTyped(cell, value)) return;
  cell.SetNumberFormat(kTextFormat);
  if (column.MaxLength < 1)
    cell.SetValue(column.Quote ? u'"' + value.text + u'"' : value.text);
  else if (!value.text.isEmpty())
    cell.SetValue(value.text.left(column.MaxLength));
}

void PutSpecialValue(Range& cell, const CellValue& value, bool typedCells) {
  if (typedCells && PutTyped(cell, value)) return;
  cell.SetNumberFormat(kTextFormat);
  cell.SetValue(value.text);
}

}  // namespace tbx
