#pragma once
// Date-times as spreadsheets store them: a number of days (the serial date)
// shown through a date format.
#include <QDateTime>
#include <optional>

namespace tbx::xls {

// The format of date cells: the German day.month.year and time of day
// (TT.MM.JJJJ hh:mm:ss in a German installation). Format codes are stored
// with the English letters whatever the installation's language.
inline constexpr const char* kDateTimeFormatCode = "DD.MM.YYYY hh:mm:ss";
// Characters a date cell shows in that format, for its column's width.
inline constexpr int kDateTimeDisplayLength = 19;

// The serial date of value in local time: days since 30.12.1899 with the
// time of day as the fraction. Spreadsheets count a 29.02.1900 that never
// was, so dates before 01.03.1900 are one day lower than that count
// (01.01.1900 is day 1). std::nullopt for an invalid value and for dates
// before 01.01.1900 or after 31.12.9999, which no spreadsheet shows.
std::optional<double> SpreadsheetSerial(const QDateTime& value);

}  // namespace tbx::xls
