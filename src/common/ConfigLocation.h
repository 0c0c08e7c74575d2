#pragma once
// Which configuration file a program uses when none is named on its command
// line, in this order:
//   1. ZireVuz.ini beside the executable (a portable copy, as always);
//   2. $XDG_CONFIG_HOME/tabellix/ZireVuz.ini (default ~/.config/tabellix/);
//   3. the first tabellix/ZireVuz.ini in $XDG_CONFIG_DIRS (default /etc/xdg).
// The folder of the file in use then serves as the program's folder.
#include <QString>
#include <QStringList>

namespace tbx {

struct ConfigurationSearch {
  QString path;         // the file to use; "" when none of the places has one
  QStringList searched; // every place looked at, in order
};

ConfigurationSearch FindConfiguration();

// The German message when no configuration was found: the places looked
// at and where the commented example is.
QString MissingConfigurationText(const ConfigurationSearch& search);

// The German message when the configuration at path cannot be read (err: errno).
QString UnreadableConfigurationText(const QString& path, int err);

}  // namespace tbx
