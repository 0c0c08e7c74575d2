#pragma once
// The directory scan: every file below a folder whose extension is listed.
#include <QString>

#include "common/FoundDocuments.h"
#include "common/RunLog.h"
#include "common/WorkerPool.h"
#include "interaction/ProgressView.h"

namespace tbx {

// The matching files below folder (ending in a separator): a folder's own
// matches first, then each sub-folder depth-first. A start folder that
// cannot be listed is thrown as RunError; any other folder that cannot be
// listed is skipped with a log line naming it and the reason. The pool's
// helpers list the folders while the calling thread shows how far they
// are; without helpers the calling thread lists them. The result and the
// log are the same either way. A cancel of the progress view stops the walk
// within moments; cancelled then tells so, and the result holds what was
// found until then.
FoundDocuments CollectFiles(RunLog& log, ProgressView& progress, WorkerPool& pool, const QString& folder,
                            const QString& extensions, bool* cancelled = nullptr);

}  // namespace tbx
