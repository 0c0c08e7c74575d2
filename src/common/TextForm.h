#pragma once
// Text forms of numbers, dates and Booleans in the user's locale, the way the
// classic variant-to-text conversion writes them: no digit grouping (an
// integer must go back into a query unchanged), up to 15 significant digits,
// a four-digit year in the short date and a general date that leaves out a
// time of exactly midnight. The locale is QLocale() so tests can pin it with
// QLocale::setDefault.
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>
#include <optional>

namespace tbx {

// Short date, e.g. German "05.12.2026" (Qt's own German short form has a
// two-digit year; users' file names and cells have always had four).
QString ShortDateText(const QDate& date, const QLocale& locale = QLocale());

// General date: short date and long time ("05.12.2026 18:24:03"); a time of
// exactly 00:00:00 gives the date alone.
QString GeneralDateText(const QDateTime& dateTime, const QLocale& locale = QLocale());

// Whole numbers without grouping ("1031", "-7").
QString IntegerText(qint64 value, const QLocale& locale = QLocale());
QString UnsignedText(quint64 value, const QLocale& locale = QLocale());

// Floating-point numbers: locale decimal separator, at most 15 significant
// digits, exponent form only for very large or small magnitudes ("1,5").
QString RealText(double value, const QLocale& locale = QLocale());

// "Wahr"/"Falsch" in German, "True"/"False" otherwise.
QString BoolText(bool value, const QLocale& locale = QLocale());

// The one text form of a value, whether a document property or a database
// field gave it: text unchanged, numbers, dates and Booleans as above (a
// single-precision real with at most seven significant digits, the precision
// it has); std::nullopt for NULL and for values without a text form (binary
// data, vectors and the like).
std::optional<QString> ValueText(const QVariant& value, const QLocale& locale = QLocale());

}  // namespace tbx
