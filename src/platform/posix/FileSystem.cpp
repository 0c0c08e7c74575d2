#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <memory>

#include "platform/Injection.h"
#include "platform/SystemCalls.h"
#include "platform/posix/NativeNames.h"
#include "text/Encodings.h"

namespace tbx {
namespace {

QByteArray Native(const QString& path) { return NativePath(path); }

EntryKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryKind::Directory;
  if (S_ISREG(mode)) return EntryKind::File;
  return EntryKind::Other;
}

// POSIX has no hidden attribute; a leading "." plays its part.
bool HiddenName(QStringView name) { return name.startsWith(u'.'); }

struct DirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

int ListDirectory(const QString& folder, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  if (int e = InjectedFailure(FsCall::List)) return e;
  const QByteArray native = Native(folder);
  const bool plainFolder = native == folder.toUtf8();
  // Paths of the entries as the scan composes them: folder and name.
  const QString textPrefix = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
  const QByteArray nativePrefix = native.isEmpty() || native.endsWith('/') ? native : native + '/';
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.isEmpty() ? "." : native.constData()));
  if (!dir) return errno;
  const int dirFd = ::dirfd(dir.get());
  for (;;) {
    errno = 0;
    const dirent* d = ::readdir(dir.get());
    if (!d) {
      if (errno != 0) return errno;
      break;
    }
    const char* raw = d->d_name;
    if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0))) continue;
    DirectoryEntry entry;
    bool utf8 = true;
    entry.name = DecodeUtf8OrWindows1252(QByteArrayView(raw), &utf8);
    entry.hidden = raw[0] == '.';
    // A name that is not UTF-8, or any name inside such a folder, is
    // remembered with its bytes for the calls that open it.
    if (!plainFolder || !utf8) RememberNativePath(textPrefix + entry.name, nativePrefix + raw);
    switch (d->d_type) {
      case DT_DIR: entry.kind = EntryKind::Directory; break;
      case DT_REG: entry.kind = EntryKind::File; break;
      case DT_LNK:
      case DT_UNKNOWN: {
        // Only links and file systems without d_type cost a stat call.
        struct stat st {};
        entry.isLink = d->d_type == DT_LNK;
        if (entry.isLink || ::fstatat(dirFd, raw, &st, AT_SYMLINK_NOFOLLOW) == 0) {
          if (S_ISLNK(st.st_mode)) entry.isLink = true;
          if (entry.isLink && ::fstatat(dirFd, raw, &st, 0) != 0) st.st_mode = 0;  // dangling link
          entry.kind = KindOfMode(st.st_mode);
        }
        break;
      }
      default: entry.kind = EntryKind::Other; break;
    }
    entries.push_back(std::move(entry));
  }
  return 0;
}

int InspectPath(const QString& path, bool followLinks, PathInfo& info) {
  info = PathInfo();
  if (int e = InjectedFailure(FsCall::Inspect)) return e;
  struct stat st {};
  const QByteArray native = Native(path);
  if ((followLinks ? ::stat(native.constData(), &st) : ::lstat(native.constData(), &st)) != 0) return errno;
  info.kind = KindOfMode(st.st_mode);
  info.isLink = S_ISLNK(st.st_mode);
  QStringView name(path);
  while (name.size() > 1 && name.endsWith(u'/')) name.chop(1);
  info.hidden = HiddenName(name.mid(name.lastIndexOf(u'/') + 1));
  info.ownedByUser = st.st_uid == ::geteuid();
  return 0;
}

int RemoveFile(const QString& path) { return ::unlink(Native(path).constData()) == 0 ? 0 : errno; }

FileLock::~FileLock() { Release(); }

void FileLock::Release() {
  if (handle_ < 0) return;
  // Removed while still held: a run that opened the file before sees that
  // its lock is on a name that is gone and takes the new file instead.
  ::unlink(path_.constData());
  ::close(int(handle_));
  handle_ = -1;
}

int FileLock::Acquire(const QString& path) {
  Release();
  const QByteArray native = Native(path);
  constexpr int kAttempts = 8;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return errno;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno == EWOULDBLOCK ? EBUSY : errno;
      ::close(fd);
      return err;
    }
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && ::stat(native.constData(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      handle_ = fd;
      path_ = native;
      return 0;
    }
    ::close(fd);  // the holder removed it between our open and our lock
  }
  return EBUSY;
}

int RenameEntry(const QString& from, const QString& to) {
  if (int e = InjectedFailure(FsCall::Rename)) return e;
  const QByteArray src = Native(from), dst = Native(to);
  if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without RENAME_NOREPLACE: check first (a small race is accepted there).
  struct stat st {};
  if (::lstat(dst.constData(), &st) == 0) return EEXIST;
  return ::rename(src.constData(), dst.constData()) == 0 ? 0 : errno;
}

int LinkEntry(const QString& existing, const QString& newName) {
  if (int e = InjectedFailure(FsCall::Link)) return e;
  return ::link(Native(existing).constData(), Native(newName).constData()) == 0 ? 0 : errno;
}

AppendFile::~AppendFile() { Close(); }

void AppendFile::Close() {
  if (handle_ >= 0) ::close(int(handle_));
  handle_ = -1;
}

int AppendFile::Open(const QString& path) {
  Close();
  if (int e = InjectedFailure(FsCall::Append)) return e;
  // Never through a link and only into a regular file: a log whose name an
  // attacker turned into a link must not carry lines into another file, and
  // a pipe of that name must not stop the run.
  const int fd =
      ::open(Native(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return EINVAL;
  }
  handle_ = fd;
  device_ = quint64(st.st_dev);
  inode_ = quint64(st.st_ino);
  return 0;
}

int AppendFile::Write(const QByteArray& bytes) {
  if (handle_ < 0) return EBADF;
  if (int e = InjectedFailure(FsCall::Append)) return e;
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(int(handle_), bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += n;
  }
  return 0;
}

bool AppendFile::StillAt(const QString& path) const {
  struct stat st {};
  return handle_ >= 0 && ::lstat(Native(path).constData(), &st) == 0 && quint64(st.st_dev) == device_ &&
         quint64(st.st_ino) == inode_;
}

bool AppendFile::Removed() const {
  struct stat st {};
  return handle_ >= 0 && ::fstat(int(handle_), &st) == 0 && st.st_nlink == 0;
}

int ReadFileBounded(const QString& path, qint64 maxBytes, QByteArray& bytes) {
  bytes.clear();
  if (int e = InjectedFailure(FsCall::Read)) return e;
  // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
  const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat st {};
  int result = 0;
  if (::fstat(fd, &st) != 0) {
    result = errno;
  } else if (S_ISDIR(st.st_mode)) {
    result = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    result = EINVAL;
  } else if (st.st_size > maxBytes) {
    result = EFBIG;
  } else {
    bytes.resize(static_cast<qsizetype>(st.st_size));
    qsizetype done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result = errno;
        break;
      }
      if (n == 0) break;  // the file shrank while we read it
      done += n;
    }
    bytes.truncate(done);
  }
  ::close(fd);
  if (result != 0) bytes.clear();
  return result;
}

int IdentifyFile(const QString& path, FileIdentity& identity) {
  identity = FileIdentity();
  if (int e = InjectedFailure(FsCall::Identify)) return e;
  struct stat st {};
  if (::stat(Native(path).constData(), &st) != 0) return errno;
  constexpr qint64 kNsPerSecond = 1000000000;
  identity.device = st.st_dev;
  identity.inode = st.st_ino;
  identity.size = st.st_size;
  identity.modifiedNs = qint64(st.st_mtim.tv_sec) * kNsPerSecond + st.st_mtim.tv_nsec;
  identity.changedNs = qint64(st.st_ctim.tv_sec) * kNsPerSecond + st.st_ctim.tv_nsec;
  timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const qint64 settledBefore = (qint64(now.tv_sec) - 2) * kNsPerSecond + now.tv_nsec;
  identity.settled = identity.modifiedNs < settledBefore && identity.changedNs < settledBefore;
  return 0;
}

int SystemCreationTime(const QString& path, QDateTime& created) {
  struct statx stx {};
  if (::statx(AT_FDCWD, Native(path).constData(), 0, STATX_BTIME | STATX_MTIME, &stx) != 0) return errno;
  // Linux keeps a birth time only on some file systems, and files that came
  // with a system image often carry 0 there; the modification time is the
  // closest date such a file has, so it stands in for the creation date.
  qint64 seconds = static_cast<qint64>(stx.stx_mtime.tv_sec);
  if ((stx.stx_mask & STATX_BTIME) && stx.stx_btime.tv_sec != 0) seconds = static_cast<qint64>(stx.stx_btime.tv_sec);
  created = QDateTime::fromSecsSinceEpoch(seconds);
  return 0;
}

QByteArray NarrowFileName(const QString& path) { return Native(path); }

}  // namespace tbx
