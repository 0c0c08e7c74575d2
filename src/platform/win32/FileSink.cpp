#include "platform/FileSink.h"

#include <cerrno>

#include "platform/Injection.h"
#include "platform/win32/SystemNames.h"

namespace tbx {

using win32::AsHandle;
using win32::LastErrno;
using win32::SystemPath;

FileSink::~FileSink() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
}

int FileSink::Create(const QString& path) {
  if (int e = InjectedFailure(FsCall::Create)) return e;
  written_ = 0;
  // CREATE_NEW never opens what is there, a link included. Others may read
  // the new file, but nobody writes into it or renames it while it grows.
  HANDLE h = CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastErrno();
  handle_ = win32::FromHandle(h);
  return 0;
}

int FileSink::Write(const char* data, qint64 size) {
  if (handle_ == -1) return EBADF;
  qint64 allowed = size;
  const int injected = InjectedWriteFailure(written_, size, allowed);
  size = allowed;
  while (size > 0) {
    // WriteFile takes 32-bit sizes.
    const DWORD chunk = DWORD(qMin<qint64>(size, 1 << 30));
    DWORD n = 0;
    if (!WriteFile(AsHandle(handle_), data, chunk, &n, nullptr)) return LastErrno();
    data += n;
    size -= n;
    written_ += n;
  }
  return injected;
}

int FileSink::Close() {
  int err = InjectedFailure(FsCall::Sync);
  if (err == 0 && !FlushFileBuffers(AsHandle(handle_))) err = LastErrno();
  if (!CloseHandle(AsHandle(handle_)) && err == 0) err = LastErrno();
  handle_ = -1;
  return err;
}

int FileSink::Replace(const QString& from, const QString& to) {
  if (int e = InjectedFailure(FsCall::Replace)) return e;
  // One step on the same volume: readers see the old workbook or the new
  // one. Write-through returns only once the rename is on the disk, as the
  // flushed bytes are; a workbook open in another program (without delete
  // sharing) refuses the replacement (EBUSY, EACCES), and the old file stays.
  if (MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  return LastErrno();
}

}  // namespace tbx
