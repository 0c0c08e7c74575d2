#include "platform/ReadOnlyFile.h"

#include <cerrno>
#include <cstring>

#include "platform/win32/SystemNames.h"

namespace tbx {

// Unlike POSIX, no spare head buffer per thread: MinGW's emulated
// thread-local storage frees such an object's memory before its destructor
// runs when the thread ends (see common/PerThread.h).
ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ != -1) CloseHandle(win32::AsHandle(handle_));
}

int ReadOnlyFile::Open(const QString& path) {
  const std::wstring native = win32::SystemPath(path);
  // Every sharing mode: the CAD program may have the document open, and
  // reading its properties must neither fail on that nor stand in its way.
  HANDLE h = CreateFileW(native.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    // A folder cannot be opened this way; only then are its attributes asked.
    const int err = win32::LastErrno();
    const DWORD attributes = GetFileAttributesW(native.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EISDIR : err;
  }
  handle_ = win32::FromHandle(h);
  if (GetFileType(h) != FILE_TYPE_DISK) return EINVAL;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size)) return win32::LastErrno();
  size_ = quint64(size.QuadPart);
  QByteArray head(qsizetype(qMin(size_, kHeadBytes)), Qt::Uninitialized);
  if (ReadFromFile(0, head.data(), quint64(head.size()))) head_ = std::move(head);
  return 0;
}

// Reads through the handle's own file position, moved only when a read
// starts elsewhere: a read with an OVERLAPPED offset may be posted to a
// completion port, which under Wine is one more round trip to its server for
// every read. The handle belongs to this object alone.
bool ReadOnlyFile::ReadFromFile(quint64 offset, char* out, quint64 size) {
  const HANDLE h = win32::AsHandle(handle_);
  if (offset != position_) {
    LARGE_INTEGER to{};
    to.QuadPart = LONGLONG(offset);
    if (!SetFilePointerEx(h, to, nullptr, FILE_BEGIN)) return false;
    position_ = offset;
  }
  while (size > 0) {
    DWORD got = 0;
    const DWORD chunk = DWORD(qMin<quint64>(size, 1u << 30));
    if (!ReadFile(h, out, chunk, &got, nullptr) || got == 0) {
      position_ = ~quint64(0);  // unknown after a failed read: the next one moves it
      return false;
    }
    out += got;
    position_ += got;
    size -= got;
  }
  return true;
}

}  // namespace tbx
