#pragma once
// How the Windows seam meets the system: every call is a wide one, so a
// name outside the ANSI code page (Жä😀) is opened as it is written, and a
// path is handed over in the form that lifts the 260-character limit.
#include <windows.h>

#include <QDateTime>
#include <QString>
#include <string>

namespace tbx::win32 {

// path as the wide calls take it: separators made "\", made absolute, and
// from MAX_PATH on prefixed "\\?\" (UNC paths "\\?\UNC\server\share\...").
// Shorter paths stay plain, as users and other programs see them.
std::wstring SystemPath(const QString& path);

// The text of a wide name the system gave.
QString FromWide(const wchar_t* text, qsizetype length = -1);

// The errno value that stands for a Windows error code, so that the layers
// above see the same failures on both platforms.
int ErrnoOf(DWORD error);
inline int LastErrno() { return ErrnoOf(GetLastError()); }

// A file time (100 ns since 1601, UTC) as nanoseconds since 1970.
qint64 NanosecondsSinceEpoch(const FILETIME& time);
inline qint64 NanosecondsSinceEpoch(LARGE_INTEGER time) {
  FILETIME t{time.LowPart, DWORD(time.HighPart)};
  return NanosecondsSinceEpoch(t);
}

// Left out of scans, as the original's attribute mask left them out.
inline bool HiddenAttributes(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

// The handle of a file kept in the seam's neutral intptr_t members.
inline HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
inline intptr_t FromHandle(HANDLE h) { return reinterpret_cast<intptr_t>(h); }

}  // namespace tbx::win32
