#pragma once
// The file-system calls of a run: folder listings, what a path is, renaming
// without replacing, a lock file, a file kept open for appending, bounded
// reading, the identity of a file's version and its creation date. Every
// call reports an errno value (0 on success; the Windows seam maps its
// errors onto the same values) instead of throwing, so each caller decides
// whether a failure is ignored, a failed check or a run-time error. Tests
// make single calls fail (InjectFileSystemErrorForTests) to prove that every
// failure path holds.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace tbx {

enum class EntryKind { File, Directory, Other };

struct DirectoryEntry {
  QString name;
  EntryKind kind = EntryKind::Other;  // of the link's target for symbolic links
  bool isLink = false;
  // Left out of scans and look-ups: on POSIX a name beginning with ".", on
  // Windows the hidden or system attribute.
  bool hidden = false;
};

// The entries of folder in the file system's own order, without "." and "..".
[[nodiscard]] int ListDirectory(const QString& folder, std::vector<DirectoryEntry>& entries);

// What a path names. Without following links a link is reported as such
// (kind Other, isLink); following them, the target's kind.
struct PathInfo {
  EntryKind kind = EntryKind::Other;
  bool isLink = false;
  bool hidden = false;           // as for DirectoryEntry, from the path's last name
  bool ownedByUser = false;      // the user running owns it (POSIX: the uid; Windows: always)
};
[[nodiscard]] int InspectPath(const QString& path, bool followLinks, PathInfo& info);

// Renames within the file system; never replaces an existing target (EEXIST).
[[nodiscard]] int RenameEntry(const QString& from, const QString& to);

// Removes a file (never a folder).
[[nodiscard]] int RemoveFile(const QString& path);

// An exclusive lock on a file, held until the object goes (or the process
// ends, however it ends): what keeps two runs from writing one workbook.
// The file is removed when the lock is let go.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // Creates path when needed and locks it: 0, EBUSY when another process
  // holds it, or the errno of the failed open (a link or a folder in the
  // way is refused, never followed).
  [[nodiscard]] int Acquire(const QString& path);
  void Release();

 private:
  intptr_t handle_ = -1;  // a descriptor on POSIX, a HANDLE on Windows
  QByteArray path_;       // POSIX: the name unlinked while the lock is held
};

// A second name for a file (a hard link); never replaces an existing one
// (EEXIST). File systems without hard links refuse it (EPERM, ENOTSUP, EXDEV).
[[nodiscard]] int LinkEntry(const QString& existing, const QString& newName);

// A file kept open for appending, each Write one system call, so other
// programs see every line at once. Only a regular file is opened, never
// through a symbolic link (ELOOP, EINVAL otherwise).
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  [[nodiscard]] int Open(const QString& path);  // creates path when missing
  [[nodiscard]] int Write(const QByteArray& bytes);
  // Whether path still names the open file: false once it was removed,
  // renamed or replaced (an administrator rotating logs).
  bool StillAt(const QString& path) const;
  // Whether the open file was removed: one call on the open file, far
  // cheaper than StillAt's walk along the path.
  bool Removed() const;
  bool IsOpen() const { return handle_ != -1; }
  void Close();

 private:
  intptr_t handle_ = -1;  // a descriptor on POSIX, a HANDLE on Windows
  quint64 device_ = 0, inode_ = 0;  // Windows: volume serial number and file index
};

// Reads a regular file of at most maxBytes (EFBIG beyond, EISDIR/EINVAL for
// folders and devices); never blocks on FIFOs.
[[nodiscard]] int ReadFileBounded(const QString& path, qint64 maxBytes, QByteArray& bytes);

// The name by which the C runtime's narrow calls (fopen, open) reach the
// existing file or folder at path, for a library that opens its files so
// (libxlsxwriter). POSIX: its bytes. Windows: the name in the ANSI code
// page, or its short (8.3) name where the long one has a character outside
// it; empty when neither names it.
QByteArray NarrowFileName(const QString& path);

// What tells one version of a file from another without reading it.
struct FileIdentity {
  quint64 device = 0, inode = 0;  // Windows: 0 (see win32/FileSystem.cpp)
  qint64 size = 0, modifiedNs = 0, changedNs = 0;
  // Unchanged for the last two seconds by the system clock: time stamps are
  // coarse, so a file written moments ago may change again without its
  // identity showing it, and only a settled identity vouches for the content.
  bool settled = false;
  bool SameVersion(const FileIdentity& o) const {
    return device == o.device && inode == o.inode && size == o.size && modifiedNs == o.modifiedNs &&
           changedNs == o.changedNs;
  }
};
[[nodiscard]] int IdentifyFile(const QString& path, FileIdentity& identity);

// The file's creation date in local time, whole seconds.
[[nodiscard]] int FileCreationTime(const QString& path, QDateTime& created);

// Test seams. A call fails with err (0 clears): every time, or the next
// `times` calls; Write lets afterBytes bytes of each file through first (a
// disk that fills up during a save). A replacement source of creation dates
// (empty restores the file system's).
enum class FsCall {
  List, Inspect, Rename, Link, Append, Read, Identify, CreationTime,  // the calls above
  Create, Write, Sync, Replace,                                              // a save (FileSink.h)
};
void InjectFileSystemErrorForTests(FsCall call, int err, qint64 afterBytes = 0, int times = -1);
void ClearInjectedFileSystemErrors();
void SetCreationTimeSourceForTests(std::function<QDateTime(const QString&)> source);

}  // namespace tbx
