#pragma once
// Configuration file access: one value or the key names of one section of
// the configuration file, the yes-word test and the trailing separator of
// folders. The names of sections and keys are in ConfigKeys.h.
#include <QString>
#include <QStringList>

#include "common/Profile.h"
#include "platform/PathSeparator.h"

namespace tbx {

// The value of key in section of file, as the profile reader delivers it; "" when absent.
QString ReadIniValue(const QString& section, const QString& key, const QString& file);
// The same from one version of the file.
QString ReadIniValue(const ProfileSnapshot& config, const QString& section, const QString& key);

// The key names of section in file order; empty when the file or section is absent.
QStringList ReadIniKeys(const QString& section, const QString& file);
QStringList ReadIniKeys(const ProfileSnapshot& config, const QString& section);

// Yes-word test: "" gives defaultValue, else the value lower-cased is one of ja yes true wahr 1.
bool IsYes(const QString& value, bool defaultValue);

// The path ending in one separator (only sep counts as one); "" stays "".
QString WithTrailingBackslash(const QString& path, QChar sep = QChar(kPathSeparator));

// The configuration file path: the program's folder, a separator and the
// configuration file's name.
QString ConfigurationPath();

}  // namespace tbx
