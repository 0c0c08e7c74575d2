#pragma once
// The user's folders after the XDG base-directory rules, the way installed
// Linux programs find their configuration and keep their state. A variable
// that is unset, empty or not an absolute path counts as unset.
#include <QString>
#include <QStringList>

namespace tbx {

// $XDG_CONFIG_HOME, else ~/.config.
QString ConfigHomeFolder();
// $XDG_CONFIG_DIRS split at ":", else /etc/xdg.
QStringList ConfigFolders();
// $XDG_STATE_HOME, else ~/.local/state.
QString StateHomeFolder();
// The user's documents folder (~/Dokumente, ~/Documents, ...) when it
// exists, else the home folder.
QString DocumentsFolder();

// The folder of the executable that runs, without a trailing separator.
QString ExecutableFolder();

// Whether this process may create files in folder.
bool FolderWritable(const QString& folder);
// Creates folder and its parents (owner-only access for new ones); false
// when it does not exist afterwards.
bool MakeFolder(const QString& folder);

}  // namespace tbx
