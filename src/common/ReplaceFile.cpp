#include "common/ReplaceFile.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <functional>
#include <cerrno>
#include <vector>

#include "common/Config.h"
#include "common/SystemErrorText.h"
#include "platform/FileSink.h"
#include "platform/FileSystem.h"
#include "platform/PathSeparator.h"
#include "platform/ReadOnlyFile.h"

namespace tbx {
namespace {

// Unlike other file operations, a save that cannot find its folder reports
// "path not found" (76), as users know it from saving workbooks.
int SaveErrorNumber(int err) { return err == ENOENT ? kErrPathNotFound : RunErrorNumberForErrno(err); }

[[noreturn]] void ThrowSaveError(const QString& path, int err) { throw SaveFileError(path, err); }

// A hidden name beside the target, so a crash mid-save leaves at most a
// stray temporary file, never a damaged workbook.
QString TemporaryName(const QFileInfo& target) {
  return target.absolutePath() + PathSeparatorText() + QLatin1Char('.') + target.fileName() + QLatin1Char('.') +
         QString::number(QRandomGenerator::global()->generate(), 16) + QStringLiteral(".tmp");
}

// Temporary files of this target that a killed save left behind. Runs that
// write one workbook hold its lock, so no other save of it is under way; a
// file of another user (a shared folder, root's run) is theirs to remove.
void RemoveStaleTemporaries(const QFileInfo& target) {
  std::vector<DirectoryEntry> entries;
  if (ListDirectory(target.absolutePath(), entries) != 0) return;
  const QString prefix = QLatin1Char('.') + target.fileName() + QLatin1Char('.');
  for (const DirectoryEntry& e : entries) {
    if (e.kind != EntryKind::File || e.isLink || !e.name.startsWith(prefix) || !e.name.endsWith(QLatin1String(".tmp")))
      continue;
    const QString path = target.absolutePath() + PathSeparatorText() + e.name;
    PathInfo info;
    if (InspectPath(path, false, info) == 0 && info.kind == EntryKind::File && info.ownedByUser) (void)RemoveFile(path);
  }
}

}  // namespace

RunError SaveFileError(const QString& path, int err) {
  const int number = SaveErrorNumber(err);
  return RunError(number, QStringLiteral("Die Datei \"%1\" kann nicht gespeichert werden: %2")
                              .arg(path, ClassicErrorText(number)));
}

int ProbeFolderWritable(const QString& folder) {
  const QFileInfo probe(WithTrailingBackslash(folder) + QStringLiteral("probe"));
  FileSink sink;
  int err = EEXIST;
  QString path;
  for (int attempt = 0; attempt < 16 && err == EEXIST; ++attempt) {
    path = TemporaryName(probe);
    err = sink.Create(path);
  }
  if (err != 0) return err;
  (void)sink.Close();
  (void)RemoveFile(path);
  return 0;
}

namespace {

// The one save: a temporary file beside path gets its bytes from write
// (0 or an errno value), is made durable and renamed over path.
void SaveReplacing(const QString& path, const std::function<int(FileSink&)>& write) {
  const QFileInfo target(path);
  if (target.fileName().isEmpty()) ThrowSaveError(path, ENOENT);
  RemoveStaleTemporaries(target);
  constexpr int kAttempts = 16;
  FileSink sink;
  QString temporary;
  int err = EEXIST;
  for (int attempt = 0; attempt < kAttempts && err == EEXIST; ++attempt) {
    temporary = TemporaryName(target);
    err = sink.Create(temporary);
  }
  if (err != 0) ThrowSaveError(path, err);
  err = write(sink);
  const int closeErr = sink.Close();
  if (err == 0) err = closeErr;
  if (err == 0) err = FileSink::Replace(temporary, target.absoluteFilePath());
  if (err != 0) {
    (void)RemoveFile(temporary);
    ThrowSaveError(path, err);
  }
}

}  // namespace

void SaveFileReplacing(const QString& path, const QByteArray& bytes) {
  SaveReplacing(path, [&](FileSink& sink) { return sink.Write(bytes.constData(), bytes.size()); });
}

void SaveFileReplacing(const QString& path, const std::function<bool(const ByteSink&)>& write) {
  SaveReplacing(path, [&](FileSink& sink) {
    int err = 0;
    const bool written = write([&](const char* data, qint64 size) { return (err = sink.Write(data, size)) == 0; });
    return err != 0 ? err : written ? 0 : EIO;
  });
}

void CopyFileReplacing(const QString& source, const QString& path) {
  ReadOnlyFile in;
  if (const int err = in.Open(source)) ThrowSaveError(path, err);
  SaveReplacing(path, [&](FileSink& sink) {
    // Chunks keep the memory of a copy small however large the file is.
    constexpr quint64 kChunk = 1 << 20;
    std::vector<char> buffer(kChunk);
    for (quint64 at = 0; at < in.Size(); at += kChunk) {
      const quint64 n = std::min(kChunk, in.Size() - at);
      if (!in.ReadAt(at, buffer.data(), n)) return EIO;
      if (const int err = sink.Write(buffer.data(), qint64(n))) return err;
    }
    return 0;
  });
}

}  // namespace tbx
