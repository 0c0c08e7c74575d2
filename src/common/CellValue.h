#pragma once
// A value as a worksheet cell takes it: always its text form (what text
// cells show and what format patterns test) and, for a number or a date,
// the typed value that a workbook with typed cells shows instead, so that
// spreadsheet programs can sum and sort it. Document properties and
// database fields give their values this way alike.
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

namespace tbx {

struct CellValue {
  enum class Kind : quint8 { Text, Number, DateTime };
  QString text;  // the text form (common/TextForm.h), "" without one
  Kind kind = Kind::Text;
  double number = 0;   // Kind::Number
  QDateTime dateTime;  // Kind::DateTime, in local time
};

// A value that is text only.
CellValue TextCell(QString text);

// The cell value of a document property or database field: the text of
// ValueText and, for whole numbers of up to 15 digits, finite floating-point
// numbers, dates and date-times, the typed value the text shows. Booleans,
// times of day, texts (also those that look like numbers) and whole numbers
// of more digits than a spreadsheet shows stay text.
CellValue CellValueOf(const QVariant& value, const QLocale& locale = QLocale());

}  // namespace tbx
