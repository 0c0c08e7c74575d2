#include "common/ReplaceFile.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <vector>

#include "common/Config.h"
#include "common/SystemErrorText.h"
#include "platform/FileSink.h"
#include "platform/FileSystem.h"
#include "platform/PathSeparator.h"

namespace tbx {
namespace {

// Unlike other file operations, a save that cannot find its folder reports
// "path not found" (76), as users know it from saving workbooks.
int SaveErrorNumber(int err) { return err == ENOENT ? kErrPathNotFound : RunErrorNumberForErrno(err); }

[[noreturn]] void ThrowSaveError(const QString& path, int err) {
  const int number = SaveErrorNumber(err);
  throw RunError(number, QStringLiteral("Die Datei \"%1\" kann nicht gespeichert werden: %2")
                             .arg(path, ClassicErrorText(number)));
}

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

void SaveFileReplacing(const QString& path, const QByteArray& bytes) {
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
  err = sink.Write(bytes.constData(), bytes.size());
  const int closeErr = sink.Close();
  if (err == 0) err = closeErr;
  if (err == 0) err = FileSink::Replace(temporary, target.absoluteFilePath());
  if (err != 0) {
    (void)RemoveFile(temporary);
    ThrowSaveError(path, err);
  }
}

}  // namespace tbx
