#pragma once
// The file-system calls of a run: the classic first-match directory lookup,
// folder listings, renaming, making a file writable, appending to a file,
// bounded reading and creation dates. Every call reports an errno value (0
// on success) instead of throwing, so each caller decides whether a failure
// is ignored, a failed check or a run-time error; tests inject errno values
// per call to prove that every failure path holds.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

#include "platform/SystemErrors.h"

namespace tbx {

// Attribute masks of the classic lookup: plain files only, or folders too.
inline constexpr int kAttrNormal = 0;
inline constexpr int kAttrDirectory = 16;

enum class EntryKind { File, Directory, Other };

struct DirectoryEntry {
  QString name;
  EntryKind kind = EntryKind::Other;  // of the link's target for symbolic links
  bool isLink = false;
  // POSIX has no hidden attribute; a leading "." plays its part.
  bool hidden() const { return name.startsWith(u'.'); }
};

// The entries of folder in the file system's own order, without "." and "..".
int ListDirectory(const QString& folder, std::vector<DirectoryEntry>& entries);

// The first-match lookup: name receives the first entry that path matches
// under the attribute mask (kAttrNormal: non-hidden plain files; kAttrDirectory:
// folders too), "" when none does. "*" and "?" are honoured in the last path
// element; a path ending in the separator asks for the entries of that folder.
int FindFirstEntry(const QString& path, int attributes, QString& name);

// Renames within the file system; never replaces an existing target (EEXIST).
int RenameEntry(const QString& from, const QString& to);

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
  // holds it, or the errno of the failed open.
  int Acquire(const QString& path);
  void Release();

 private:
  int fd_ = -1;
  QByteArray path_;
};

// Whether path names a regular file (after links).
bool IsRegularFile(const QString& path);

// The attributes set to "normal": the owner may write the file again.
int MakeWritable(const QString& path);

// A file kept open for appending, each Write one system call, so other
// programs see every line at once. Only a regular file is opened, never
// through a symbolic link (ELOOP, EINVAL otherwise).
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  int Open(const QString& path);  // creates path when missing
  int Write(const QByteArray& bytes);
  // Whether path still names the open file: false once it was removed,
  // renamed or replaced (an administrator rotating logs).
  bool StillAt(const QString& path) const;
  // Whether the open file was removed: an fstat, far cheaper than StillAt's
  // walk along the path.
  bool Removed() const;
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

 private:
  int fd_ = -1;
  quint64 device_ = 0, inode_ = 0;
};

// Reads a regular file of at most maxBytes (EFBIG beyond, EISDIR/EINVAL for
// folders and devices); never blocks on FIFOs.
int ReadFileBounded(const QString& path, qint64 maxBytes, QByteArray& bytes);

// What tells one version of a file from another without reading it.
struct FileIdentity {
  quint64 device = 0, inode = 0;
  qint64 size = 0, modifiedNs = 0, changedNs = 0;
  // Unchanged for the last two seconds by the system clock: time stamps are
  // coarse, so a file written moments ago may change again without its
  // identity showing it, and only a settled identity vouches for the content.
  bool settled = false;
  bool SameVersion(const FileIdentity& o) const {
    return device == o.device && inode == o.inode && size == o.size &&
           modifiedNs == o.modifiedNs && changedNs == o.changedNs;
  }
};
int IdentifyFile(const QString& path, FileIdentity& identity);

// The file's creation date in local time, whole seconds.
int FileCreationTime(const QString& path, QDateTime& created);

// Test seams: an errno value a call fails with (0 clears), and a replacement
// source of creation dates (empty restores the file system's).
enum class FsCall { List, Lookup, Rename, SetAttributes, Append, Read, Identify, CreationTime };
void InjectFileSystemErrorForTests(FsCall call, int err);
void SetCreationTimeSourceForTests(std::function<QDateTime(const QString&)> source);

}  // namespace tbx
