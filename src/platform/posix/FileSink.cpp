#include "platform/FileSink.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/Injection.h"
#include "platform/posix/NativeNames.h"

namespace tbx {

FileSink::~FileSink() {
  if (handle_ >= 0) ::close(int(handle_));
}

int FileSink::Create(const QString& path) {
  if (int e = InjectedFailure(FsCall::Create)) return e;
  written_ = 0;
  handle_ = ::open(NativePath(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  return handle_ < 0 ? errno : 0;
}

int FileSink::Write(const char* data, qint64 size) {
  if (handle_ < 0) return EBADF;
  qint64 allowed = size;
  const int injected = InjectedWriteFailure(written_, size, allowed);
  size = allowed;
  while (size > 0) {
    const ssize_t n = ::write(int(handle_), data, static_cast<size_t>(size));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= n;
    written_ += n;
  }
  return injected;
}

int FileSink::Close() {
  int err = InjectedFailure(FsCall::Sync);
  if (err == 0 && ::fsync(int(handle_)) != 0) err = errno;
  if (::close(int(handle_)) != 0 && err == 0) err = errno;
  handle_ = -1;
  return err;
}

int FileSink::Replace(const QString& from, const QString& to) {
  if (int e = InjectedFailure(FsCall::Replace)) return e;
  return std::rename(NativePath(from).constData(), NativePath(to).constData()) == 0 ? 0 : errno;
}

}  // namespace tbx
