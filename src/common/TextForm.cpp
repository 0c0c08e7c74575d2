#include "common/TextForm.h"

#include "common/PerThread.h"

#include <QRegularExpression>
#include <QTime>
#include <optional>
#include <utility>

namespace tbx {
namespace {

// The C locale (LANG unset, as on many servers) has no short date of its
// own; Qt's "7 Dec 2026" would put blanks and English month names into log
// file names. ISO dates are what such systems use elsewhere.
bool IsPosixC(const QLocale& locale) { return locale.language() == QLocale::C; }

QString ShortDateFormat(const QLocale& locale) {
  if (IsPosixC(locale)) return QStringLiteral("yyyy-MM-dd");
  QString format = locale.dateFormat(QLocale::ShortFormat);
  if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
  return format;
}

QString LongTimeFormat(const QLocale& locale) {
  if (IsPosixC(locale)) return QStringLiteral("HH:mm:ss");
  QString format = locale.timeFormat(QLocale::LongFormat);
  // Qt's long format names the time zone; the classic general date never did.
  static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
  format.replace(zone, QStringLiteral(" "));
  return format.trimmed();
}

// The locale's numbers without group separators. Setting the option copies
// the locale's data, and the readers write numbers of every document, so
// each thread keeps the last one made.
const QLocale& Ungrouped(const QLocale& locale) {
  struct UngroupedTag;
  auto& made = PerThread<std::optional<std::pair<QLocale, QLocale>>, UngroupedTag>();  // the locale, and it ungrouped
  if (!made || made->first != locale) {
    QLocale ungrouped = locale;
    ungrouped.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    made.emplace(locale, ungrouped);
  }
  return made->second;
}

}  // namespace

QString ShortDateText(const QDate& date, const QLocale& locale) {
  return locale.toString(date, ShortDateFormat(locale));
}

QString GeneralDateText(const QDateTime& dateTime, const QLocale& locale) {
  const QString date = ShortDateText(dateTime.date(), locale);
  if (dateTime.time() == QTime(0, 0, 0)) return date;
  return date + u' ' + locale.toString(dateTime.time(), LongTimeFormat(locale));
}

QString IntegerText(qint64 value, const QLocale& locale) { return Ungrouped(locale).toString(value); }

QString UnsignedText(quint64 value, const QLocale& locale) { return Ungrouped(locale).toString(value); }

QString RealText(double value, const QLocale& locale) {
  return Ungrouped(locale).toString(value, 'G', 15);
}

QString BoolText(bool value, const QLocale& locale) {
  if (locale.language() == QLocale::German)
    return value ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
  return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<QString> ValueText(const QVariant& value, const QLocale& locale) {
  if (!value.isValid() || value.isNull()) return std::nullopt;
  switch (value.typeId()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Bool: return BoolText(value.toBool(), locale);
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
      return IntegerText(value.toLongLong(), locale);
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
      return UnsignedText(value.toULongLong(), locale);
    case QMetaType::Float:
      // Single precision has about seven significant digits; more would show
      // the binary noise (1.1 as 1,10000002384186).
      return RealText(QString::number(value.toFloat(), 'g', 7).toDouble(), locale);
    case QMetaType::Double:
      return RealText(value.toDouble(), locale);
    case QMetaType::QDate: return ShortDateText(value.toDate(), locale);
    case QMetaType::QDateTime: return GeneralDateText(value.toDateTime().toLocalTime(), locale);
    case QMetaType::QTime:
      return locale.toString(value.toTime(), QStringLiteral("HH:mm:ss"));
    case QMetaType::QByteArray:
      // Binary data (BLOB, bytea) has no text form for a cell.
      return std::nullopt;
    default: break;
  }
  if (value.canConvert<QString>()) return value.toString();
  return std::nullopt;
}

}  // namespace tbx
