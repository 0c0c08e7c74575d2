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

}  // namespace tbx
