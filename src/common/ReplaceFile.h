#pragma once
// Saving a file so that a failure never damages what was there: the bytes go
// to a new temporary file in the target folder, which is then renamed over
// the target (platform/FileSink.h).
#include <QByteArray>
#include <QString>
#include <functional>

#include "common/RunError.h"

namespace tbx {

// Writes bytes to path, replacing an existing file. On failure any earlier
// file is left as it was, no temporary file remains, and RunError is thrown
// with the classic number (70 permission denied, 61 disk full, 76 path not
// found, 75 otherwise) and a German description naming the path.
void SaveFileReplacing(const QString& path, const QByteArray& bytes);

// The same save with the bytes that write hands to its sink piece by piece;
// write returns false when the sink refused one (its error is the save's).
// A file assembled from parts is saved without being built in memory.
using ByteSink = std::function<bool(const char*, qint64)>;
void SaveFileReplacing(const QString& path, const std::function<bool(const ByteSink&)>& write);

// The same save with the bytes of the file at source, read in chunks: a
// large file is copied without being held in memory. A source that cannot
// be read fails like the save.
void CopyFileReplacing(const QString& source, const QString& path);

// The error such a save of path throws for errno err, for writers that meet
// a failure of their own before the bytes are there.
RunError SaveFileError(const QString& path, int err);

// Whether a file can be created in folder: one is created and removed
// again, since permissions, read-only shares and full quotas show only
// then. 0 or the errno of the failed creation.
[[nodiscard]] int ProbeFolderWritable(const QString& folder);

}  // namespace tbx
