#pragma once
// Saving a file so that a failure never damages what was there: the bytes go
// to a new temporary file in the target folder, which is then renamed over
// the target. The file-system calls sit behind a sink that tests replace to
// make any of them fail (permission denied, disk full after N bytes, ...).
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "platform/RunError.h"

namespace tbx {

// The file-system calls of one save. Each returns 0 or an errno value.
class FileSink {
 public:
  virtual ~FileSink() = default;
  // Creates path for writing; fails with EEXIST when it exists.
  virtual int Create(const QString& path) = 0;
  virtual int Write(const char* data, qint64 size) = 0;
  // Makes the written bytes durable and closes the file.
  virtual int Close() = 0;
  // Renames from to to, replacing an existing to.
  virtual int Rename(const QString& from, const QString& to) = 0;
  virtual void Remove(const QString& path) = 0;
};

// The sink that writes to disk.
std::unique_ptr<FileSink> MakeDiskSink();

// Replaces the sink saves use; an empty function restores the disk sink.
void SetFileSinkFactoryForTests(std::function<std::unique_ptr<FileSink>()> factory);

// Writes bytes to path, replacing an existing file. On failure any earlier
// file is left as it was, no temporary file remains, and RunError is thrown
// with the classic number (70 permission denied, 61 disk full, 76 path not
// found, 75 otherwise) and a German description naming the path.
void SaveFileReplacing(const QString& path, const QByteArray& bytes);

// The same save with the bytes of the file at source, read in chunks: a
// large file is copied without being held in memory. A source that cannot
// be read fails like the save.
void CopyFileReplacing(const QString& source, const QString& path);

// The error such a save of path throws for errno err, for writers that meet
// a failure of their own before the bytes are there.
RunError SaveFileError(const QString& path, int err);

}  // namespace tbx
