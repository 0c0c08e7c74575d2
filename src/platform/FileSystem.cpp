#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>

#include "platform/NativeNames.h"
#include "platform/PathSeparator.h"

namespace tbx {
namespace {

constexpr int kCallCount = static_cast<int>(FsCall::CreationTime) + 1;

std::array<int, kCallCount>& InjectedErrors() {
  static std::array<int, kCallCount> errors{};
  return errors;
}

std::function<QDateTime(const QString&)>& CreationTimeSource() {
  static std::function<QDateTime(const QString&)> source;
  return source;
}

int Injected(FsCall call) { return InjectedErrors()[static_cast<int>(call)]; }

QByteArray Native(const QString& path) { return NativePath(path); }

// Matches a name against a pattern of "*" and "?" without recursion, so a
// hostile pattern such as "*a*a*a*b" cannot make the lookup exponential.
bool WildcardMatch(const QString& name, const QString& pattern) {
  // "*.*" has always meant every name, with or without a dot.
  if (pattern == QLatin1String("*.*")) return true;
  qsizetype n = 0, p = 0, starP = -1, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP >= 0) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

EntryKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryKind::Directory;
  if (S_ISREG(mode)) return EntryKind::File;
  return EntryKind::Other;
}

// Whether an entry of this kind and name answers the lookup's attribute mask.
// "." and ".." are listed with folders, as they always were, although their
// names begin with a dot.
bool Answers(const QString& name, EntryKind kind, int attributes) {
  const bool dots = name == QLatin1String(".") || name == QLatin1String("..");
  if (!dots && name.startsWith(u'.')) return false;
  if (kind == EntryKind::File) return true;
  return kind == EntryKind::Directory && (attributes & kAttrDirectory);
}

struct DirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

void InjectFileSystemErrorForTests(FsCall call, int err) {
  InjectedErrors()[static_cast<int>(call)] = err;
}

void SetCreationTimeSourceForTests(std::function<QDateTime(const QString&)> source) {
  CreationTimeSource() = std::move(source);
}

int ListDirectory(const QString& folder, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  if (int e = Injected(FsCall::List)) return e;
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
    entry.name = DecodeNativeName(QByteArrayView(raw), &utf8);
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

bool IsRegularFile(const QString& path) {
  struct stat st {};
  return ::stat(Native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

FileLock::~FileLock() { Release(); }

void FileLock::Release() {
  if (fd_ < 0) return;
  // Removed while still held: a run that opened the file before sees that
  // its lock is on a name that is gone and takes the new file instead.
  ::unlink(path_.constData());
  ::close(fd_);
  fd_ = -1;
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
      fd_ = fd;
      path_ = native;
      return 0;
    }
    ::close(fd);  // the holder removed it between our open and our lock
  }
  return EBUSY;
}

int FindFirstEntry(const QString& path, int attributes, QString& name) {
  name.clear();
  if (int e = Injected(FsCall::Lookup)) return e;
  if (path.isEmpty()) return ENOENT;
  const qsizetype cut = path.lastIndexOf(QChar(kPathSeparator));
  const QString folder = cut < 0 ? QString() : path.left(cut + 1);
  QString last = path.mid(cut + 1);

  if (last.isEmpty() || last.contains(u'*') || last.contains(u'?')) {
    // A folder path asks for its entries, the first of which is "." on every
    // file system, so a folder with mask 16 is found even when it is empty.
    if (last.isEmpty()) last = QStringLiteral("*");
    std::vector<DirectoryEntry> entries;
    if (int e = ListDirectory(folder, entries)) return e;
    if (attributes & kAttrDirectory) {
      for (const char* dots : {".", ".."}) {
        if (WildcardMatch(QLatin1String(dots), last)) {
          name = QLatin1String(dots);
          return 0;
        }
      }
    }
    for (const DirectoryEntry& entry : entries) {
      if (Answers(entry.name, entry.kind, attributes) && WildcardMatch(entry.name, last)) {
        name = entry.name;
        return 0;
      }
    }
    return 0;
  }

  struct stat st {};
  if (::stat(Native(path).constData(), &st) != 0) return errno;
  if (Answers(last, KindOfMode(st.st_mode), attributes)) name = last;
  return 0;
}

int RenameEntry(const QString& from, const QString& to) {
  if (int e = Injected(FsCall::Rename)) return e;
  const QByteArray src = Native(from), dst = Native(to);
  if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
    return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without RENAME_NOREPLACE: check first (a small race is accepted there).
  struct stat st {};
  if (::lstat(dst.constData(), &st) == 0) return EEXIST;
  return ::rename(src.constData(), dst.constData()) == 0 ? 0 : errno;
}

int MakeWritable(const QString& path) {
  if (int e = Injected(FsCall::SetAttributes)) return e;
  const QByteArray native = Native(path);
  struct stat st {};
  if (::stat(native.constData(), &st) != 0) return errno;
  if (st.st_mode & S_IWUSR) return 0;
  return ::chmod(native.constData(), (st.st_mode & 07777) | S_IWUSR) == 0 ? 0 : errno;
}

AppendFile::~AppendFile() { Close(); }

void AppendFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int AppendFile::Open(const QString& path) {
  Close();
  if (int e = Injected(FsCall::Append)) return e;
  // Never through a link and only into a regular file: a log whose name an
  // attacker turned into a link must not carry lines into another file, and
  // a pipe of that name must not stop the run.
  const int fd = ::open(Native(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                        0666);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return EINVAL;
  }
  fd_ = fd;
  device_ = quint64(st.st_dev);
  inode_ = quint64(st.st_ino);
  return 0;
}

int AppendFile::Write(const QByteArray& bytes) {
  if (fd_ < 0) return EBADF;
  if (int e = Injected(FsCall::Append)) return e;
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
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
  return fd_ >= 0 && ::lstat(Native(path).constData(), &st) == 0 && quint64(st.st_dev) == device_ &&
         quint64(st.st_ino) == inode_;
}

bool AppendFile::Removed() const {
  struct stat st {};
  return fd_ >= 0 && ::fstat(fd_, &st) == 0 && st.st_nlink == 0;
}

int ReadFileBounded(const QString& path, qint64 maxBytes, QByteArray& bytes) {
  bytes.clear();
  if (int e = Injected(FsCall::Read)) return e;
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
  if (int e = Injected(FsCall::Identify)) return e;
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

int FileCreationTime(const QString& path, QDateTime& created) {
  created = QDateTime();
  if (int e = Injected(FsCall::CreationTime)) return e;
  if (const auto& source = CreationTimeSource()) {
    created = source(path);
    return 0;
  }
  struct statx stx {};
  if (::statx(AT_FDCWD, Native(path).constData(), 0, STATX_BTIME | STATX_MTIME, &stx) != 0)
    return errno;
  // Linux keeps a birth time only on some file systems, and files that came
  // with a system image often carry 0 there; the modification time is the
  // closest date such a file has, so it stands in for the creation date.
  qint64 seconds = static_cast<qint64>(stx.stx_mtime.tv_sec);
  if ((stx.stx_mask & STATX_BTIME) && stx.stx_btime.tv_sec != 0)
    seconds = static_cast<qint64>(stx.stx_btime.tv_sec);
  created = QDateTime::fromSecsSinceEpoch(seconds);
  return 0;
}

}  // namespace tbx
