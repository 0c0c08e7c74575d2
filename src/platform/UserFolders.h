#pragma once
// The user's folders by the platform's conventions, the way installed
// programs find their configuration and keep their state: the XDG
// base-directory rules on POSIX (a variable that is unset, empty or not an
// absolute path counts as unset), the known folders on Windows.
#include <QString>
#include <QStringList>

namespace tbx {

// The name of Tabellix's own folder inside the folders below, spelled as
// each platform's programs spell theirs.
#ifdef _WIN32
inline constexpr const char* kOwnFolderName = "Tabellix";
#else
inline constexpr const char* kOwnFolderName = "tabellix";
#endif

// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config;
// Windows: %APPDATA% (roaming).
QString ConfigHomeFolder();
// The machine's configuration folders, first one first: $XDG_CONFIG_DIRS
// split at ":", else /etc/xdg; Windows: %ProgramData%.
QStringList ConfigFolders();
// The user's folder for logs and other state: $XDG_STATE_HOME, else
// ~/.local/state; Windows: %LOCALAPPDATA%.
QString StateHomeFolder();
// The user's documents folder (xdg-user-dir DOCUMENTS, ~/Documents; on
// Windows the Documents known folder) when it exists, else the home folder.
QString DocumentsFolder();

// The folder of the executable that runs, without a trailing separator.
QString ExecutableFolder();
// Whether a program in folder is installed by the system's means and so
// keeps no files beside itself: under /usr (also an unpacked package's
// .../usr/bin); Windows: under Program Files.
bool InInstalledLocation(const QString& folder);
// Whether an installed program writes its log and bare workbook names beside
// a writable configuration. On Windows users find them there (%APPDATA%
// beside the configuration); the XDG rules keep configuration folders for
// configuration, so POSIX puts them into the state and documents folders.
bool InstalledKeepsFilesBesideConfiguration();

// Whether this process may create files in folder.
bool FolderWritable(const QString& folder);
// Creates folder and its parents (owner-only access for new ones); false
// when it does not exist afterwards.
bool MakeFolder(const QString& folder);

}  // namespace tbx
