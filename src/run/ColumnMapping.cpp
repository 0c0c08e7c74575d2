#include "run/ColumnMapping.h"

#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/RunLog.h"
#include "common/TextForm.h"
#include "docprops/modDocProps.h"
#include "interaction/Dialogs.h"

namespace tbx {
namespace {

const QString kLengthMarker = QStringLiteral("#L");
const QString kQuoteMarker = QStringLiteral("#Q");

// The length after "#L" as a signed 16-bit number; 0 when the text is not a
// whole number in that range (users then get no limit, as they always have).
qint16 LengthValue(const QString& text) {
  bool ok = false;
  const short value = text.trimmed().toShort(&ok);
  return ok ? value : 0;
}

QString ColumnLogLine(int index, const MappedColumn& column, bool hasLength) {
  QString line = QStringLiteral("%1: Spalte %2 = %3").arg(index).arg(column.Key, column.PropertyName);
  if (hasLength) line += QStringLiteral(" max. Länge %1").arg(column.MaxLength);
  return line;
}

}  // namespace

MappedColumn ParseMappedColumn(const QString& key, const QString& value) {
  MappedColumn column;
  column.Key = key;
  QString name = value;
  const qsizetype marker = value.indexOf(kLengthMarker);
  if (marker >= 0) {
    column.MaxLength = LengthValue(value.mid(marker + kLengthMarker.size()));
    name.truncate(marker);
  }
  column.Quote = name.contains(kQuoteMarker);
  column.PropertyName = name;
  column.Special = IsSpecialName(name);
  return column;
}

bool HeaderSwitchOn(const QString& value) {
  // Unlike the other switches this test is case-sensitive: "Ja" leaves the
  // header off, and existing configurations rely on that.
  return QStringLiteral(" ja 1 true wahr yes ").contains(QLatin1Char(' ') + value + QLatin1Char(' '));
}

ColumnMapping ReadColumnMapping(RunLog& log, Dialogs& dialogs, const QString& configFile, bool databaseMode) {
  ColumnMapping mapping;
  log.LogMessage(QStringLiteral("Lese Mapping-Information"));
  mapping.section = QString::fromLatin1(databaseMode ? ini::kSqlMapProperties : ini::kMapProperties);
  mapping.criteria = ReadIniKeys(QString::fromLatin1(ini::kCriteria), configFile);
  log.LogMessage(QStringLiteral("Sektion für Attributsmappping ist '") + mapping.section + QStringLiteral(" '"));
  const QStringList keys = ReadIniKeys(mapping.section, configFile);
  log.LogMessage(QStringLiteral("%1 Properties zu mappen").arg(keys.size()));
  if (keys.isEmpty()) {
    dialogs.MessageBox(
        QStringLiteral("In der Konfigurationsdatei fehlt die Sektion [") + mapping.section +
            QStringLiteral("] oder es sind keine zu mappende Properties definiert. Das Programm wird "
                           "fortgesetzt, es werden jedoch nur Dateiname und Pfad ausgegeben."),
        MessageButtons::Ok, MessageIcon::Warning, QStringLiteral("Warnung"));
  }
  for (int i = 0; i < keys.size(); ++i) {
    const QString value = ReadIniValue(mapping.section, keys[i], configFile);
    mapping.columns.push_back(ParseMappedColumn(keys[i], value));
    log.LogMessage(ColumnLogLine(i, mapping.columns.back(), value.contains(kLengthMarker)));
  }
  mapping.header = HeaderSwitchOn(
      ReadIniValue(ini::kKopfzeile, configFile).trimmed());
  log.LogMessage(QStringLiteral("Kopfzeile ausgeben: ") + BoolText(mapping.header));
  return mapping;
}

}  // namespace tbx
