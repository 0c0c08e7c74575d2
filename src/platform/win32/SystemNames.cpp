#include "platform/win32/SystemNames.h"

#include <cerrno>

namespace tbx::win32 {
namespace {

// CreateDirectoryW stops 12 characters earlier than MAX_PATH (room for an
// 8.3 name), so the prefix starts there.
constexpr qsizetype kPlainPathLimit = MAX_PATH - 12;

const wchar_t* Wide(const QString& text) { return reinterpret_cast<const wchar_t*>(text.utf16()); }

}  // namespace

std::wstring SystemPath(const QString& path) {
  if (path.isEmpty()) return std::wstring();
  QString p = path;
  p.replace(u'/', u'\\');
  // Already in the system's own form (\\?\..., \\.\pipe\...): taken as it is.
  if (p.startsWith(QLatin1String("\\\\?\\")) || p.startsWith(QLatin1String("\\\\.\\")))
    return std::wstring(Wide(p), size_t(p.size()));
  // The wide GetFullPathNameW takes long paths, and resolves "." and ".."
  // and relative names, which the prefixed form would take literally.
  std::wstring full(size_t(p.size()) + MAX_PATH, L'\0');
  DWORD n = GetFullPathNameW(Wide(p), DWORD(full.size()), full.data(), nullptr);
  if (n >= full.size()) {
    full.resize(n);
    n = GetFullPathNameW(Wide(p), DWORD(full.size()), full.data(), nullptr);
  }
  if (n == 0 || n >= full.size()) return std::wstring(Wide(p), size_t(p.size()));
  full.resize(n);
  if (qsizetype(full.size()) < kPlainPathLimit) return full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

QString FromWide(const wchar_t* text, qsizetype length) {
  return length < 0 ? QString::fromWCharArray(text) : QString::fromWCharArray(text, length);
}

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return EBUSY;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return ENOTSUP;
    case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER: return EINVAL;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA: return EPIPE;
    default: return EIO;
  }
}

qint64 NanosecondsSinceEpoch(const FILETIME& time) {
  constexpr qint64 kEpochIn1601 = 116444736000000000;  // 1970-01-01 in 100 ns steps
  const qint64 ticks = (qint64(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (ticks - kEpochIn1601) * 100;
}

}  // namespace tbx::win32
