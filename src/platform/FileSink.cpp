#include "platform/FileSink.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/NativeNames.h"
#include "platform/PathSeparator.h"
#include "platform/SystemErrors.h"

namespace tbx {
namespace {

// POSIX calls: rename() replaces the target in one step, so readers see
// either the old or the new workbook, never a half-written one.
class DiskSink : public FileSink {
 public:
  ~DiskSink() override {
    if (fd_ >= 0) ::close(fd_);
  }

  int Create(const QString& path) override {
    fd_ = ::open(NativePath(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd_ < 0 ? errno : 0;
  }

  int Write(const char* data, qint64 size) override {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, static_cast<size_t>(size));
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      data += n;
      size -= n;
    }
    return 0;
  }

  int Close() override {
    int err = ::fsync(fd_) == 0 ? 0 : errno;
    if (::close(fd_) != 0 && err == 0) err = errno;
    fd_ = -1;
    return err;
  }

  int Rename(const QString& from, const QString& to) override {
    return std::rename(NativePath(from).constData(), NativePath(to).constData()) == 0
               ? 0
               : errno;
  }

  void Remove(const QString& path) override { ::unlink(NativePath(path).constData()); }

 private:
  int fd_ = -1;
};

std::function<std::unique_ptr<FileSink>()>& SinkFactory() {
  static std::function<std::unique_ptr<FileSink>()> factory;
  return factory;
}

// Unlike other file operations, a save that cannot find its folder reports
// "path not found" (76), as users know it from saving workbooks.
int SaveErrorNumber(int err) { return err == ENOENT ? kErrPathNotFound : RunErrorNumberForErrno(err); }

[[noreturn]] void ThrowSaveError(const QString& path, int err) { throw SaveFileError(path, err); }

// A hidden name beside the target, so a crash mid-save leaves at most a
// stray temporary file, never a damaged workbook.
QString TemporaryName(const QFileInfo& target) {
  return target.absolutePath() + PathSeparatorText() + QLatin1Char('.') + target.fileName() +
         QLatin1Char('.') + QString::number(QRandomGenerator::global()->generate(), 16) +
         QStringLiteral(".tmp");
}

// Temporary files of this target that a killed save left behind. Runs that
// write one workbook hold its lock, so no other save of it is under way.
void RemoveStaleTemporaries(FileSink& sink, const QFileInfo& target) {
  std::vector<DirectoryEntry> entries;
  if (ListDirectory(target.absolutePath(), entries) != 0) return;
  const QString prefix = QLatin1Char('.') + target.fileName() + QLatin1Char('.');
  for (const DirectoryEntry& e : entries)
    if (e.kind == EntryKind::File && !e.isLink && e.name.startsWith(prefix) && e.name.endsWith(QLatin1String(".tmp")))
      sink.Remove(target.absolutePath() + PathSeparatorText() + e.name);
}

}  // namespace

RunError SaveFileError(const QString& path, int err) {
  const int number = SaveErrorNumber(err);
  return RunError(number, QStringLiteral("Die Datei \"%1\" kann nicht gespeichert werden: %2")
                              .arg(path, ClassicErrorText(number)));
}

std::unique_ptr<FileSink> MakeDiskSink() { return std::make_unique<DiskSink>(); }

void SetFileSinkFactoryForTests(std::function<std::unique_ptr<FileSink>()> factory) {
  SinkFactory() = std::move(factory);
}

namespace {

// The one save: a temporary file beside path gets its bytes from write
// (0 or an errno value), is closed and renamed over path.
void SaveReplacing(const QString& path, const std::function<int(FileSink&)>& write) {
  const QFileInfo target(path);
  if (target.fileName().isEmpty()) ThrowSaveError(path, ENOENT);
  std::unique_ptr<FileSink> sink = SinkFactory() ? SinkFactory()() : MakeDiskSink();
  RemoveStaleTemporaries(*sink, target);
  constexpr int kAttempts = 16;
  QString temporary;
  int err = EEXIST;
  for (int attempt = 0; attempt < kAttempts && err == EEXIST; ++attempt) {
    temporary = TemporaryName(target);
    err = sink->Create(temporary);
  }
  if (err != 0) ThrowSaveError(path, err);
  err = write(*sink);
  const int closeErr = sink->Close();
  if (err == 0) err = closeErr;
  if (err == 0) err = sink->Rename(temporary, target.absoluteFilePath());
  if (err != 0) {
    sink->Remove(temporary);
    ThrowSaveError(path, err);
  }
}

// A read descriptor that closes itself.
struct ReadFile {
  explicit ReadFile(const QString& path) : fd(::open(NativePath(path).constData(), O_RDONLY | O_CLOEXEC)) {}
  ~ReadFile() {
    if (fd >= 0) ::close(fd);
  }
  int fd;
};

}  // namespace

void SaveFileReplacing(const QString& path, const QByteArray& bytes) {
  SaveReplacing(path, [&](FileSink& sink) { return sink.Write(bytes.constData(), bytes.size()); });
}

void CopyFileReplacing(const QString& source, const QString& path) {
  ReadFile in(source);
  if (in.fd < 0) ThrowSaveError(path, errno);
  SaveReplacing(path, [&](FileSink& sink) {
    // Chunks keep the memory of a copy small however large the file is.
    constexpr size_t kChunk = 1 << 20;
    std::vector<char> buffer(kChunk);
    for (;;) {
      const ssize_t n = ::read(in.fd, buffer.data(), kChunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return errno;
      if (n == 0) return 0;
      if (const int err = sink.Write(buffer.data(), n)) return err;
    }
  });
}

}  // namespace tbx
