#pragma once
// The folder chooser of the desktop run.
#include <QString>

#include "interaction/Dialogs.h"

namespace tbx {

// Shows the folder dialog with prompt, opened in startFolder ("" for the
// home folder); the chosen folder with a trailing separator, or "" on
// cancel or failure. owner is 0 (no owner window).
QString ChooseFolder(Dialogs& dialogs, quint32 owner, const QString& prompt, const QString& startFolder = QString());

}  // namespace tbx
