#include "platform/FileByteSource.h"
#include "platform/NativeNames.h"

#include <fcntl.h>

#include <QFile>
#include <cerrno>
#include <cstring>
#include <utility>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tbx {

namespace {

ReadStatus StatusForErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return ReadStatus::file_not_found;
    case EACCES:
    case EPERM:
      return ReadStatus::access_denied;
    case EISDIR:
      return ReadStatus::is_a_folder;
    default:
      return ReadStatus::cannot_open;
  }
}

// The head buffer of the last document closed on this thread, kept for the
// next one: the readers open one document after another, and allocating
// and freeing a head of several kilobytes each time kept the allocator
// busy sorting its free lists.
thread_local QByteArray spareHead;

}  // namespace

// The reader opens a document for every single property it reads, so the file
// goes through plain descriptors and positioned reads: no buffering layer
// whose set-up would cost more than the few sectors actually read.
FileByteSource::~FileByteSource() {
#ifndef Q_OS_WIN
  if (fd_ >= 0) ::close(fd_);
#else
  if (fd_ >= 0) ::_close(fd_);
#endif
  if (spareHead.capacity() < head_.capacity()) spareHead = std::move(head_);
}

#ifndef Q_OS_WIN
ReadStatus FileByteSource::Open(const QString& path) {
  const QByteArray native = NativePath(path);
  // Non-blocking, so that a named pipe with a document's name cannot stop
  // the run; it is refused below like every other file that is no regular file.
  do fd_ = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) return StatusForErrno(errno);
  struct stat info {};
  if (::fstat(fd_, &info) != 0) return StatusForErrno(errno);
  if (S_ISDIR(info.st_mode)) return ReadStatus::is_a_folder;
  if (!S_ISREG(info.st_mode)) return ReadStatus::cannot_open;
  size_ = quint64(info.st_size);
  // A head that cannot be read stays empty: the reads then go to the file
  // and fail there, as they would without it.
  QByteArray head = std::exchange(spareHead, QByteArray());
  head.resize(qsizetype(qMin(size_, kHeadBytes)));
  if (ReadFromFile(0, head.data(), quint64(head.size()))) head_ = std::move(head);
  else spareHead = std::move(head);
  return ReadStatus::ok;
}

bool FileByteSource::ReadAt(quint64 offset, char* out, quint64 size) {
  if (offset > size_ || size > size_ - offset) return false;
  const quint64 held = quint64(head_.size());
  if (offset <= held && size <= held - offset) {
    std::memcpy(out, head_.constData() + offset, size);
    return true;
  }
  return ReadFromFile(offset, out, size);
}

bool FileByteSource::ReadFromFile(quint64 offset, char* out, quint64 size) {
  while (size > 0) {
    const ssize_t got = ::pread(fd_, out, size, off_t(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    offset += quint64(got);
    size -= quint64(got);
  }
  return true;
}
#else
ReadStatus FileByteSource::Open(const QString& path) {
  fd_ = ::_wopen(reinterpret_cast<const wchar_t*>(path.utf16()), _O_RDONLY | _O_BINARY);
  if (fd_ < 0) return StatusForErrno(errno);
  size_ = quint64(::_filelengthi64(fd_));
  return ReadStatus::ok;
}

bool FileByteSource::ReadAt(quint64 offset, char* out, quint64 size) {
  if (offset > size_ || size > size_ - offset) return false;
  if (::_lseeki64(fd_, qint64(offset), SEEK_SET) < 0) return false;
  while (size > 0) {
    const int got = ::_read(fd_, out, unsigned(qMin<quint64>(size, 1u << 30)));
    if (got <= 0) return false;
    out += got;
    size -= quint64(got);
  }
  return true;
}
#endif

}  // namespace tbx
