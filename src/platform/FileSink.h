#pragma once
// The file-system calls of a save that never damages what was there: a new
// file created exclusively, written, made durable and closed, then renamed
// over the target in one step (readers see the old or the new file, never a
// half-written one; Windows: MoveFileExW with write-through). Failures are
// errno values; common/ReplaceFile.h puts
// them together into a save with its German errors.
#include <QString>
#include <cstdint>

namespace tbx {

class FileSink {
 public:
  FileSink() = default;
  ~FileSink();
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  // Creates path for writing; fails with EEXIST when it exists.
  [[nodiscard]] int Create(const QString& path);
  [[nodiscard]] int Write(const char* data, qint64 size);
  // Makes the written bytes durable and closes the file.
  [[nodiscard]] int Close();
  // Renames from to to, replacing an existing to.
  [[nodiscard]] static int Replace(const QString& from, const QString& to);

 private:
  intptr_t handle_ = -1;  // a descriptor on POSIX, a HANDLE on Windows
  qint64 written_ = 0;  // bytes of this file, for injected failures
};

}  // namespace tbx
