#include "common/CellValue.h"

#include <cmath>

#include "common/TextForm.h"

namespace tbx {
namespace {

// Spreadsheets keep 15 significant digits: a longer whole number (an
// article or serial number, typically) would show rounded, so it keeps its
// exact text.
constexpr double kLargestWholeNumber = 999999999999999.0;

CellValue Number(QString text, double number) {
  CellValue cell{std::move(text), CellValue::Kind::Number, number, {}};
  return cell;
}

CellValue WholeNumber(QString text, double number) {
  return std::fabs(number) <= kLargestWholeNumber ? Number(std::move(text), number) : TextCell(std::move(text));
}

CellValue Date(QString text, const QDateTime& local) {
  CellValue cell{std::move(text), CellValue::Kind::DateTime, 0, local};
  return cell;
}

}  // namespace

CellValue TextCell(QString text) { return CellValue{std::move(text), CellValue::Kind::Text, 0, {}}; }

CellValue CellValueOf(const QVariant& value, const QLocale& locale) {
  QString text = ValueText(value, locale).value_or(QString());
  if (text.isEmpty()) return TextCell(std::move(text));
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
      return WholeNumber(std::move(text), double(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
      return WholeNumber(std::move(text), double(value.toULongLong()));
    case QMetaType::Float:
      // The number its text shows (seven significant digits), not the
      // binary noise behind them: 1.1 and not 1.10000002384186.
      return Number(std::move(text), QString::number(value.toFloat(), 'g', 7).toDouble());
    case QMetaType::Double: {
      const double number = value.toDouble();
      return std::isfinite(number) ? Number(std::move(text), number) : TextCell(std::move(text));
    }
    case QMetaType::QDate:
      return Date(std::move(text), QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::QDateTime:
      return Date(std::move(text), value.toDateTime().toLocalTime());
    default:
      return TextCell(std::move(text));
  }
}

}  // namespace tbx
