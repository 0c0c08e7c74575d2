#pragma once
// Which configuration file a program uses when none is named on its command
// line, in this order:
//   1. ZireVuz.ini beside the executable, for a portable copy only (one not
//      under /usr or Program Files, see IsPortableCopy);
//   2. $XDG_CONFIG_HOME/tabellix/ZireVuz.ini (default ~/.config/tabellix/);
//      Windows: %APPDATA%\Tabellix\ZireVuz.ini;
//   3. the first tabellix/ZireVuz.ini in $XDG_CONFIG_DIRS (default /etc/xdg);
//      Windows: %ProgramData%\Tabellix\ZireVuz.ini.
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

// The places FindConfiguration looks at, for the help texts: one indented
// line each, as users write them (~, the XDG variables).
QString ConfigurationPlacesHelp();
// Where the log and a workbook named without a folder go, for the help texts.
QString FilePlacesHelp();

// The German message when no configuration was found: the places looked
// at and where the commented example is.
QString MissingConfigurationText(const ConfigurationSearch& search);

// Why the file at path cannot serve as a configuration, as a German
// message: missing, unreadable, or no text file (NUL bytes, or mostly
// control characters: a workbook or a document named by mistake). nullopt
// when it can; bytes then holds its content when asked for.
std::optional<QString> ConfigurationFileProblem(const QString& path, QByteArray* bytes = nullptr);

}  // namespace tbx
