#include "xls/DateSerial.h"

namespace tbx::xls {
namespace {

constexpr double kMsecsPerDay = 24.0 * 60 * 60 * 1000;

}  // namespace

std::optional<double> SpreadsheetSerial(const QDateTime& value) {
  if (!value.isValid()) return std::nullopt;
  const QDateTime local = value.toLocalTime();
  const QDate date = local.date();
  if (date < QDate(1900, 1, 1) || date > QDate(9999, 12, 31)) return std::nullopt;
  qint64 days = QDate(1899, 12, 30).daysTo(date);
  if (date < QDate(1900, 3, 1)) --days;
  return static_cast<double>(days) + local.time().msecsSinceStartOfDay() / kMsecsPerDay;
}

}  // namespace tbx::xls
