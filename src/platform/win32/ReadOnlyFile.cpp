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
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return win32::LastErrno();
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
  // Every sharing mode: the CAD program may have the document open, and
  // reading its properties must neither fail on that nor stand in its way.
  HANDLE h = CreateFileW(native.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return win32::LastErrno();
  handle_ = win32::FromHandle(h);
  if (GetFileType(h) != FILE_TYPE_DISK) return EINVAL;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size)) return win32::LastErrno();
  size_ = quint64(size.QuadPart);
  QByteArray head(qsizetype(qMin(size_, kHeadBytes)), Qt::Uninitialized);
  if (ReadFromFile(0, head.data(), quint64(head.size()))) head_ = std::move(head);
  return 0;
}

// Positioned reads through OVERLAPPED offsets on a synchronous handle: no
// shared file position, as pread has none.
bool ReadOnlyFile::ReadFromFile(quint64 offset, char* out, quint64 size) {
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    DWORD got = 0;
    const DWORD chunk = DWORD(qMin<quint64>(size, 1u << 30));
    if (!ReadFile(win32::AsHandle(handle_), out, chunk, &got, &at) || got == 0) return false;
    out += got;
    offset += got;
    size -= got;
  }
  return true;
}

}  // namespace tbx
