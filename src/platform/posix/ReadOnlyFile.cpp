#include "platform/ReadOnlyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/posix/NativeNames.h"

namespace tbx {
namespace {

// The head buffer of the last file closed on this thread, kept for the next
// one: readers open one document after another, and allocating and freeing
// a head of several kilobytes each time kept the allocator busy sorting its
// free lists. It holds only spare memory, never a document's bytes in use.
thread_local QByteArray spareHead;

}  // namespace

// Plain descriptors and positioned reads: no buffering layer whose set-up
// would cost more than the few sectors a document's properties take.
ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ >= 0) ::close(int(handle_));
  if (spareHead.capacity() < head_.capacity()) spareHead = std::move(head_);
}

int ReadOnlyFile::Open(const QString& path) {
  const QByteArray native = NativePath(path);
  int fd;
  // Non-blocking, so that a named pipe with a document's name cannot stop
  // the run; it is refused below like every other file that is no regular file.
  do fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  handle_ = fd;
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode)) return EINVAL;
  size_ = quint64(info.st_size);
  // A head that cannot be read stays empty: the reads then go to the file
  // and fail there, as they would without it.
  QByteArray head = std::exchange(spareHead, QByteArray());
  head.resize(qsizetype(qMin(size_, kHeadBytes)));
  if (ReadFromFile(0, head.data(), quint64(head.size())))
    head_ = std::move(head);
  else
    spareHead = std::move(head);
  return 0;
}

bool ReadOnlyFile::ReadFromFile(quint64 offset, char* out, quint64 size) {
  while (size > 0) {
    const ssize_t got = ::pread(int(handle_), out, size, off_t(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    offset += quint64(got);
    size -= quint64(got);
  }
  return true;
}

}  // namespace tbx
