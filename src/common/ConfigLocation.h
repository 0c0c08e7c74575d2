#pragma once
// Which configuration file a program uses when none is named on its command
// line, in this order:
//   1. ZireVuz.ini beside the executable, for a portable copy only (one not
//      under /usr: an installed program's folder is /usr/bin);
//   2. $XDG_CONFIG_HOME/tabellix/ZireVuz.ini (default ~/.config/tabellix/);
//   3. the first tabellix/ZireVuz.ini in $XDG_CONFIG_DIRS (default /etc/xdg).
// The folder of the file in use then serves as the program's folder.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace tbx {

struct ConfigurationSearch {
  QString path;         // the file to use; "" when none of the places has one
  QStringList searched; // every place looked at, in order
};

ConfigurationSearch FindConfiguration();

// Whether an executable in executableFolder is a portable copy: anywhere
// but under /usr, where the package and a build installed by hand put it.
bool IsPortableCopy(const QString& executableFolder);

// The German message when no configuration was found: the places looked
// at and where the commented example is.
QString MissingConfigurationText(const ConfigurationSearch& search);

// Why the file at path cannot serve as a configuration, as a German
// message: missing, unreadable, or no text file (NUL bytes, or mostly
// control characters: a workbook or a document named by mistake). nullopt
// when it can; bytes then holds its content when asked for.
std::optional<QString> ConfigurationFileProblem(const QString& path, QByteArray* bytes = nullptr);

}  // namespace tbx
