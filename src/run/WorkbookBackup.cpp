#include "run/WorkbookBackup.h"

#include <cerrno>

#include "common/PathHelpers.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace tbx {
namespace {

const QString kBackupLine = QStringLiteral("Bestehende Excel-Datei umbenannt in: ");

// A second run within the same minute finds the first backup name taken.
constexpr int kAttempts = 100;

// Tries the backup names one after the other with step (rename or link).
template <class Step>
int FirstFreeName(const QString& path, QString& newName, Step step) {
  const QDateTime now = Now();
  int err = EEXIST;
  for (int attempt = 1; attempt <= kAttempts && err == EEXIST; ++attempt) {
    newName = BackupWorkbookName(path, now, attempt);
    err = step(PathPart(path, DirectoryPart) + newName);
  }
  return err;
}

}  // namespace

QString BackupWorkbookName(const QString& workbookPath, const QDateTime& now, int attempt) {
  const QString number = attempt > 1 ? u'_' + QString::number(attempt) : QString();
  // Backups are .xls as they always were; an Office Open XML workbook's
  // backup stays one, or no spreadsheet program would open it.
  const bool openXml = PathPart(PathPart(workbookPath, FileNamePart), ExtensionPart).toLower() == u"xlsx";
  return PathPart(workbookPath, BaseNamePart) + u'_' + now.toString(QStringLiteral("yyyyMMddhhmm")) + number +
         (openXml ? QStringLiteral(".xlsx") : QStringLiteral(".xls"));
}

int MoveWorkbookAside(RunLog& log, const QString& path, QString& newName) {
  // No attributes are changed first: renaming needs no write permission on
  // the file, and a link in its place must not pass a change to its target.
  const int err = FirstFreeName(path, newName, [&](const QString& to) { return RenameEntry(path, to); });
  if (err == 0) log.LogMessage(kBackupLine + newName);
  return err;
}

int WorkbookBackup::Keep(const QString& path) {
  path_ = path;
  backup_.clear();
  PathInfo info;
  if (InspectPath(path, false, info) != 0) return 0;  // nothing there to keep
  QString name;
  int err = FirstFreeName(path, name, [&](const QString& to) { return LinkEntry(path, to); });
  linked_ = err == 0;
  if (!linked_ && err != EEXIST)
    err = FirstFreeName(path, name, [&](const QString& to) { return RenameEntry(path, to); });
  if (err == 0) backup_ = PathPart(path, DirectoryPart) + name;
  return err;
}

void WorkbookBackup::Undo() {
  if (backup_.isEmpty()) return;
  if (linked_)
    (void)RemoveFile(backup_);
  else
    (void)RenameEntry(backup_, path_);
  backup_.clear();
}

void WorkbookBackup::Done(RunLog& log) {
  if (!backup_.isEmpty()) log.LogMessage(kBackupLine + PathPart(backup_, FileNamePart));
}

}  // namespace tbx
