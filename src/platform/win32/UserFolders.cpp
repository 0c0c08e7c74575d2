#include "platform/UserFolders.h"

#include <QDir>

// windows.h (through SystemNames.h) must come before the shell headers.
#include "platform/win32/SystemNames.h"
#include <shlobj.h>

namespace tbx {
namespace {

// A known folder's path, "" when the system has none for this user.
QString KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  QString folder;
  if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK) folder = win32::FromWide(path);
  CoTaskMemFree(path);
  return folder;
}

QString Normalized(const QString& folder) {
  QString f = QDir::toNativeSeparators(QDir::cleanPath(folder));
  if (!f.endsWith(u'\\')) f += u'\\';
  return f;
}

bool IsFolder(const QString& folder) {
  const DWORD attributes = GetFileAttributesW(win32::SystemPath(folder).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

QString ConfigHomeFolder() { return KnownFolder(FOLDERID_RoamingAppData); }

QStringList ConfigFolders() { return {KnownFolder(FOLDERID_ProgramData)}; }

QString StateHomeFolder() { return KnownFolder(FOLDERID_LocalAppData); }

QString DocumentsFolder() {
  const QString documents = KnownFolder(FOLDERID_Documents);
  return IsFolder(documents) ? documents : KnownFolder(FOLDERID_Profile);
}

QString ExecutableFolder() {
  // Long enough for a path of the full 32767 characters.
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  if (n == 0 || n >= path.size()) return QString();
  QString file = win32::FromWide(path.c_str(), n);
  if (file.startsWith(QLatin1String("\\\\?\\UNC\\"))) file = QStringLiteral("\\\\") + file.mid(8);
  else if (file.startsWith(QLatin1String("\\\\?\\"))) file = file.mid(4);
  return file.left(file.lastIndexOf(u'\\'));
}

bool InInstalledLocation(const QString& folder) {
  const QString f = Normalized(folder);
  for (REFKNOWNFOLDERID id : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX64, FOLDERID_ProgramFilesX86}) {
    const QString root = KnownFolder(id);
    if (!root.isEmpty() && f.startsWith(Normalized(root), Qt::CaseInsensitive)) return true;
  }
  return false;
}

bool InstalledKeepsFilesBesideConfiguration() { return true; }

bool FolderWritable(const QString& folder) {
  // Access lists decide, and no call asks them as access(2) does: a file
  // that is made and goes again on closing is the answer.
  const QString probe = folder + QStringLiteral("\\.tabellix-probe-%1-%2").arg(GetCurrentProcessId()).arg(GetTickCount64());
  HANDLE h = CreateFileW(win32::SystemPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

bool MakeFolder(const QString& folder) {
  // The user's own profile folders already grant access to the user alone.
  if (IsFolder(folder)) return true;
  const QString native = QDir::toNativeSeparators(folder);
  const qsizetype cut = native.lastIndexOf(u'\\');
  if (cut > 0 && !native.left(cut).endsWith(u':') && !MakeFolder(native.left(cut))) return false;
  return CreateDirectoryW(win32::SystemPath(native).c_str(), nullptr) || IsFolder(folder);
}

}  // namespace tbx
