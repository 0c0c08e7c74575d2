#include "common/Config.h"

#include "common/ConfigKeys.h"
#include "common/ProgramInfo.h"

namespace tbx {
namespace {
// Padded with blanks so that a value must match a whole word, or a run of
// whole words in this order.
constexpr char16_t kYesWords[] = u" ja yes true wahr 1 ";
}  // namespace

QString ReadIniValue(const QString& section, const QString& key, const QString& file) {
  return ReadProfileString(file, section, key);
}

QString ReadIniValue(const ProfileSnapshot& config, const QString& section, const QString& key) {
  return config.Value(section, key);
}

QString ReadIniValue(const ini::Setting& setting, const QString& file) {
  return ReadIniValue(QString::fromLatin1(setting.section), QString::fromLatin1(setting.key), file);
}

QString ReadIniValue(const ProfileSnapshot& config, const ini::Setting& setting) {
  return config.Value(QString::fromLatin1(setting.section), QString::fromLatin1(setting.key));
}

bool SwitchDefault(const ini::Setting& setting) { return IsYes(QString::fromUtf8(setting.defaultValue), false); }

bool ReadIniSwitch(const ini::Setting& setting, const QString& file) {
  return IsYes(ReadIniValue(setting, file), SwitchDefault(setting));
}

int DefaultNumber(const ini::Setting& setting) { return QString::fromLatin1(setting.defaultValue).toInt(); }

QStringList ReadIniKeys(const QString& section, const QString& file) {
  return ReadIniKeys(LoadProfile(file), section);
}

QStringList ReadIniKeys(const ProfileSnapshot& config, const QString& section) {
  QString names = config.KeyNames(section);
  if (names.isEmpty()) return {};
  names.chop(1);  // the NUL behind the last name
  return names.split(QChar(0));
}

bool IsYes(const QString& value, bool defaultValue) {
  if (value.isEmpty()) return defaultValue;
  const QString padded = u' ' + value.toLower() + u' ';
  return QStringView(kYesWords).contains(padded, Qt::CaseSensitive);
}

QString WithTrailingBackslash(const QString& path, QChar sep) {
  if (path.isEmpty() || path.endsWith(sep)) return path;
  return path + sep;
}

QString ConfigurationPath() {
  return WithTrailingBackslash(ProgramFolder()) + QString::fromLatin1(ini::kConfigFileName);
}

QString SettingsOverview() {
  QString text;
  for (const ini::Setting& s : ini::kSettings) {
    QString name = u'[' + QString::fromLatin1(s.section) + u']';
    if (s.key) name += u' ' + QString::fromLatin1(s.key);
    QString line = QStringLiteral("  %1").arg(name, -24) + QString::fromUtf8(s.meaning);
    if (*s.defaultValue) line += QStringLiteral(" (ohne Angabe: %1)").arg(QString::fromUtf8(s.defaultValue));
    text += line + u'\n';
  }
  return text;
}

}  // namespace tbx
