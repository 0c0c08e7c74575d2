#pragma once
// The directory scan: every file below a folder whose extension is listed.
#include <QString>
#include <QStringList>

#include "interaction/ProgressView.h"

namespace tbx {

// Full paths of the matching files below folder (ending in a separator):
// a folder's own matches first, then each sub-folder depth-first. A start
// folder that cannot be listed is thrown as RunError; any other folder that
// cannot be listed is skipped with a log line naming it and the reason.
// `helpers` threads list folders besides the calling one; the result and
// the log are the same for any number, only the progress view shows fewer
// folders (those the calling thread lists, in walk order, with none).
QStringList CollectFiles(ProgressView& progress, const QString& folder, const QString& extensions, int helpers);

}  // namespace tbx
