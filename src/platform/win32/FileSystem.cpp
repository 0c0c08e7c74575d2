#include "platform/FileSystem.h"

#include <cerrno>

#include "platform/Injection.h"
#include "platform/SystemCalls.h"
#include "platform/win32/SystemNames.h"

namespace tbx {
namespace {

using win32::AsHandle;
using win32::FromHandle;
using win32::LastErrno;
using win32::SystemPath;

// Every program may go on reading, writing, renaming or removing a file the
// seam has open, as on POSIX: an administrator rotating the log, a second
// reader of a document.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsLinkAttributes(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

EntryKind KindOfAttributes(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Directory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return EntryKind::Other;
  return EntryKind::File;
}

// Closes a handle when the scope ends.
struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  explicit Handle(HANDLE handle) : h(handle) {}
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return h != INVALID_HANDLE_VALUE; }
};

// A handle on the file or folder itself, for its information only: the
// right to read attributes counts against nobody's share mode. Links are
// followed unless told otherwise.
HANDLE OpenForInformation(const std::wstring& path, bool followLinks) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
  if (!followLinks) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

// The attributes of the target of a link; false for a dangling one.
bool TargetAttributes(const std::wstring& path, DWORD& attributes) {
  Handle h(OpenForInformation(path, true));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!h.Valid() || !GetFileInformationByHandle(h.h, &info)) return false;
  attributes = info.dwFileAttributes;
  return true;
}

// Refuses what a regular file must not be: a folder (EISDIR), a link
// (ELOOP), a device or pipe (EINVAL). 0 for a regular file or none at all.
int NoRegularFileProblem(const std::wstring& path, bool mustExist) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const int err = LastErrno();
    return mustExist || err != ENOENT ? err : 0;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
  if (IsLinkAttributes(attributes)) return ELOOP;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return EINVAL;
  return 0;
}

// The last name of a path, for the hidden test of a path that has no listing.
QStringView LastName(QStringView path) {
  while (path.size() > 1 && (path.endsWith(u'\\') || path.endsWith(u'/'))) path.chop(1);
  const qsizetype cut = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
  return path.mid(cut + 1);
}

}  // namespace

int ListDirectory(const QString& folder, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  if (int e = InjectedFailure(FsCall::List)) return e;
  std::wstring pattern = SystemPath(folder.isEmpty() ? QStringLiteral(".") : folder);
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  const std::wstring base = pattern;
  pattern += L'*';
  WIN32_FIND_DATAW data{};
  // One request fetches many entries: what counts on a file server.
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // An empty drive root has no entries at all, not even "." and "..".
    return error == ERROR_FILE_NOT_FOUND ? 0 : win32::ErrnoOf(error);
  }
  int result = 0;
  do {
    const wchar_t* raw = data.cFileName;
    if (raw[0] == L'.' && (raw[1] == 0 || (raw[1] == L'.' && raw[2] == 0))) continue;
    DirectoryEntry entry;
    entry.name = win32::FromWide(raw);
    entry.hidden = win32::HiddenAttributes(data.dwFileAttributes);
    DWORD attributes = data.dwFileAttributes;
    // Symbolic links and junctions are reparse points; other reparse
    // points (deduplicated or cloud files) are files as their users see them.
    entry.isLink = IsLinkAttributes(attributes) &&
                   (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK || data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
    if (entry.isLink && !TargetAttributes(base + raw, attributes))
      entry.kind = EntryKind::Other;  // dangling link
    else
      entry.kind = KindOfAttributes(attributes);
    entries.push_back(std::move(entry));
  } while (FindNextFileW(find, &data));
  const DWORD error = GetLastError();
  if (error != ERROR_NO_MORE_FILES) result = win32::ErrnoOf(error);
  FindClose(find);
  return result;
}

int InspectPath(const QString& path, bool followLinks, PathInfo& info) {
  info = PathInfo();
  if (int e = InjectedFailure(FsCall::Inspect)) return e;
  const std::wstring native = SystemPath(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data)) return LastErrno();
  DWORD attributes = data.dwFileAttributes;
  info.isLink = IsLinkAttributes(attributes);
  if (info.isLink && followLinks) {
    if (!TargetAttributes(native, attributes)) return ENOENT;
    info.isLink = false;
  }
  info.kind = info.isLink ? EntryKind::Other : KindOfAttributes(attributes);
  // A drive's root carries the hidden and system attributes on many
  // machines, but it is no hidden folder to its users.
  const QStringView name = LastName(path);
  info.hidden = win32::HiddenAttributes(data.dwFileAttributes) && !name.endsWith(u':') && !name.isEmpty();
  // Windows grants by access lists, not by owner: the user's own files
  // are those the user may change, which the calls themselves decide.
  info.ownedByUser = true;
  return 0;
}

int RemoveFile(const QString& path) { return DeleteFileW(SystemPath(path).c_str()) ? 0 : LastErrno(); }

FileLock::~FileLock() { Release(); }

void FileLock::Release() {
  if (handle_ == -1) return;
  // Opened for deletion on close: the name goes with the handle, also when
  // the process ends otherwise.
  CloseHandle(AsHandle(handle_));
  handle_ = -1;
}

int FileLock::Acquire(const QString& path) {
  Release();
  const std::wstring native = SystemPath(path);
  // A folder or a link of that name is someone else's: refused, never
  // opened (it would be deleted on close).
  if (int e = NoRegularFileProblem(native, false)) return e;
  // No sharing at all: a second run cannot open the file while this one
  // holds it, which is the lock itself.
  HANDLE h = CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastErrno();  // EBUSY: the sharing violation of a held lock
  handle_ = FromHandle(h);
  return 0;
}

int RenameEntry(const QString& from, const QString& to) {
  if (int e = InjectedFailure(FsCall::Rename)) return e;
  // Without MOVEFILE_REPLACE_EXISTING an existing target is never replaced.
  if (MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), 0)) return 0;
  return LastErrno();
}

int LinkEntry(const QString& existing, const QString& newName) {
  if (int e = InjectedFailure(FsCall::Link)) return e;
  if (CreateHardLinkW(SystemPath(newName).c_str(), SystemPath(existing).c_str(), nullptr)) return 0;
  return LastErrno();
}

AppendFile::~AppendFile() { Close(); }

void AppendFile::Close() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
  handle_ = -1;
}

int AppendFile::Open(const QString& path) {
  Close();
  if (int e = InjectedFailure(FsCall::Append)) return e;
  const std::wstring native = SystemPath(path);
  if (int e = NoRegularFileProblem(native, false)) return e;
  // Append rights only (and those to ask what the file is): every WriteFile
  // lands at the end, also beside another writer. Other programs may read
  // the log during a run, and another run may append to it; as every open
  // file on Windows it cannot be renamed or removed meanwhile.
  HANDLE h = CreateFileW(native.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastErrno();
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    CloseHandle(h);
    return EINVAL;
  }
  handle_ = FromHandle(h);
  device_ = info.dwVolumeSerialNumber;
  inode_ = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return 0;
}

int AppendFile::Write(const QByteArray& bytes) {
  if (handle_ == -1) return EBADF;
  if (int e = InjectedFailure(FsCall::Append)) return e;
  qsizetype done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(AsHandle(handle_), bytes.constData() + done, DWORD(bytes.size() - done), &n, nullptr))
      return LastErrno();
    done += n;
  }
  return 0;
}

bool AppendFile::StillAt(const QString& path) const {
  if (handle_ == -1) return false;
  Handle h(OpenForInformation(SystemPath(path), false));
  BY_HANDLE_FILE_INFORMATION info{};
  return h.Valid() && GetFileInformationByHandle(h.h, &info) && info.dwVolumeSerialNumber == device_ &&
         ((quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow) == inode_;
}

// Opened without delete sharing, the file cannot be removed while it is
// open: no call for each line (under Wine one cost as much as the line).
bool AppendFile::Removed() const { return false; }

int ReadFileBounded(const QString& path, qint64 maxBytes, QByteArray& bytes) {
  bytes.clear();
  if (int e = InjectedFailure(FsCall::Read)) return e;
  const std::wstring native = SystemPath(path);
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrno();
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
  Handle h(CreateFileW(native.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                       nullptr));
  if (!h.Valid()) return LastErrno();
  // A pipe or a device of that name is no file to read whole.
  if (GetFileType(h.h) != FILE_TYPE_DISK) return EINVAL;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h.h, &size)) return LastErrno();
  if (size.QuadPart > maxBytes) return EFBIG;
  bytes.resize(qsizetype(size.QuadPart));
  qsizetype done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!ReadFile(h.h, bytes.data() + done, DWORD(bytes.size() - done), &n, nullptr)) {
      const int err = LastErrno();
      bytes.clear();
      return err;
    }
    if (n == 0) break;  // the file shrank while we read it
    done += n;
  }
  bytes.truncate(done);
  return 0;
}

// From the attributes of the name, one call without a handle: the
// configuration is identified before every value read from it, and opening
// it each time (under Wine four calls to the server) cost as much as reading
// a document. Without a handle there is no file index: size, last write and
// creation time tell the versions apart (a file saved anew under its name
// gets a new write time).
int IdentifyFile(const QString& path, FileIdentity& identity) {
  identity = FileIdentity();
  if (int e = InjectedFailure(FsCall::Identify)) return e;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) return LastErrno();
  identity.size = qint64((quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  identity.modifiedNs = win32::NanosecondsSinceEpoch(data.ftLastWriteTime);
  identity.changedNs = win32::NanosecondsSinceEpoch(data.ftCreationTime);
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  constexpr qint64 kTwoSeconds = 2000000000;
  const qint64 settledBefore = win32::NanosecondsSinceEpoch(now) - kTwoSeconds;
  identity.settled = identity.modifiedNs < settledBefore && identity.changedNs < settledBefore;
  return 0;
}

int SystemCreationTime(const QString& path, QDateTime& created) {
  // Windows keeps every file's creation time: the date the original showed.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) return LastErrno();
  constexpr qint64 kNsPerSecond = 1000000000;
  created = QDateTime::fromSecsSinceEpoch(win32::NanosecondsSinceEpoch(data.ftCreationTime) / kNsPerSecond);
  return 0;
}

namespace {

// text in the ANSI code page, or empty when a character has no place there
// (no best-fit stand-ins: "?" or a look-alike would name another file).
QByteArray InAnsiCodePage(const std::wstring& text) {
  if (text.empty()) return QByteArray();
  BOOL lost = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), int(text.size()), nullptr, 0,
                                    nullptr, &lost);
  if (n <= 0 || lost) return QByteArray();
  QByteArray bytes(n, Qt::Uninitialized);
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), int(text.size()), bytes.data(), n, nullptr, &lost);
  return lost ? QByteArray() : bytes;
}

}  // namespace

QByteArray NarrowFileName(const QString& path) {
  // Plain, without the long-path prefix, which the C runtime does not take.
  QString plain = path;
  plain.replace(u'/', u'\\');
  const std::wstring wide(reinterpret_cast<const wchar_t*>(plain.utf16()), size_t(plain.size()));
  if (QByteArray bytes = InAnsiCodePage(wide); !bytes.isEmpty()) return bytes;
  // A user profile named in another script: its short name is ASCII, where
  // the volume keeps short names at all.
  std::wstring shortName(MAX_PATH, L'\0');
  DWORD n = GetShortPathNameW(wide.c_str(), shortName.data(), DWORD(shortName.size()));
  if (n >= shortName.size()) {
    shortName.resize(n);
    n = GetShortPathNameW(wide.c_str(), shortName.data(), DWORD(shortName.size()));
  }
  if (n == 0 || n >= shortName.size()) return QByteArray();
  shortName.resize(n);
  return InAnsiCodePage(shortName);
}

}  // namespace tbx
