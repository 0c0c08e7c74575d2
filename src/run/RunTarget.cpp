#include "run/RunTarget.h"

#include <QDir>

#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/FolderChooser.h"
#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "database/modDatabase.h"
#include "interaction/Dialogs.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProgramInfo.h"
#include "run/ErrorModes.h"

namespace tbx {
namespace {

const QString kFolderPrompt = QStringLiteral(
    "Wählen Sie das Verzeichnis, in dem sich die zu lesenden Solid Edge Dateien befinden:");
const QString kTargetLine = QStringLiteral("Zu schreibende Excel-Datei: ");

QString PathSetting(const RunState& run, const char* key) {
  return ReadIniValue(QString::fromLatin1(ini::kPfade), QString::fromLatin1(key), run.configPath);
}

void FailCheck(RunState& run, const QString& logLine) {
  run.goAhead = false;
  LogMessage(logLine);
  run.dialogs->ReportFailedCheck(logLine);
}

// A relative workbook path means the program's folder (the user's documents
// folder when the program's folder cannot be written), for testing the file,
// renaming it and writing it alike; checking it against the working folder
// instead would miss last run's workbook and let the save overwrite it.
QString ResolvedWorkbookPath(const QString& path) {
  if (!QDir::isRelativePath(path)) return path;
  return WithTrailingBackslash(WorkbookFolder()) + path;
}

// A path ending in a separator, or naming a folder, can never be written as a workbook.
bool NamesFolder(const QString& path) {
  return path.endsWith(QChar(kPathSeparator)) ||
         (PathExists(path, kAttrDirectory) && !PathExists(path, kAttrNormal));
}

// Moves an existing workbook out of the way. Only when that worked may the
// run go on: the save would otherwise replace the previous workbook.
void RenameExistingWorkbook(RunState& run) {
  QString newName;
  if (const int err = MoveWorkbookAside(run.workbook.targetPath, newName))
    FailCheck(run, QStringLiteral("Bestehende Excel-Datei kann nicht umbenannt werden in ") + newName +
                       QStringLiteral(": ") + ErrnoDescription(err));
}

// One run at a time writes a workbook: the lock beside it is held until the
// run ends, however it ends. A lock file that cannot be made (a folder the
// user may not write) locks nothing; the save then fails on its own.
bool LockTarget(RunState& run) {
  const QString& target = run.workbook.targetPath;
  auto lock = std::make_unique<FileLock>();
  const QString lockPath = PathPart(target, DirectoryPart) + u'.' + PathPart(target, FileNamePart) +
                           QStringLiteral(".lock");
  if (lock->Acquire(lockPath) == EBUSY) {
    FailCheck(run, QStringLiteral("Die Excel-Datei wird gerade von einem anderen Lauf geschrieben: ") + target);
    return false;
  }
  run.targetLock = std::move(lock);
  return true;
}

// [SQL] DoSQL switches database mode on; the run's connection is then opened
// once, before the workbook is chosen, so a wrong setting costs no dialog.
void OpenDatabaseIfWanted(RunState& run) {
  IgnoringErrors([&] {
    run.databaseMode = IsYes(ReadIniValue(QString::fromLatin1(ini::kSql), QString::fromLatin1(ini::kDoSql),
                                          run.configPath),
                             ini::kDoSqlDefault);
  });
  if (!run.databaseMode) return;
  IgnoringErrors([&] { run.database = ConnectDatabase(*run.dialogs, *run.progress, QString::fromLatin1(ini::kOdbc), run.configPath); });
  if (!run.database)
    FailCheck(run, QStringLiteral(
                       "Verbindung zur Datenbank konnte nicht aufgebaut werden. Verarbeitung wird beendet."));
}

}  // namespace

std::optional<QString> StartFolderProblem(const QString& startDir) {
  if (startDir.isEmpty()) return QStringLiteral("Kein Startverzeichnis angegeben.");
  if (!PathExists(startDir, kAttrDirectory))
    return QStringLiteral("Das angegebene Startverzeichnis existiert nicht: ") + startDir;
  return std::nullopt;
}

std::optional<QString> WorkbookProblem(const QString& workbookPath) {
  if (workbookPath.isEmpty()) return QStringLiteral("Keine Exceldatei angegeben.");
  if (PathExists(workbookPath, kAttrNormal)) return std::nullopt;
  if (NamesFolder(workbookPath) || !PathExists(PathPart(workbookPath, DirectoryPart), kAttrDirectory))
    return QStringLiteral("Die angegebene Exceldatei kann nicht erzeugt werden: ") + workbookPath;
  return std::nullopt;
}

QString BackupWorkbookName(const QString& workbookPath, const QDateTime& now, int attempt) {
  const QString number = attempt > 1 ? u'_' + QString::number(attempt) : QString();
  return PathPart(workbookPath, BaseNamePart) + u'_' + now.toString(QStringLiteral("yyyyMMddhhmm")) + number +
         WorkbookExtension(workbookPath);
}

int MoveWorkbookAside(const QString& path, QString& newName) {
  // The old workbook is made writable again; if that fails it still renames.
  (void)MakeWritable(path);
  const QDateTime now = Now();
  // A second run within the same minute finds the first backup name taken.
  constexpr int kAttempts = 100;
  int err = EEXIST;
  for (int attempt = 1; attempt <= kAttempts && err == EEXIST; ++attempt) {
    newName = BackupWorkbookName(path, now, attempt);
    err = RenameEntry(path, PathPart(path, DirectoryPart) + newName);
  }
  if (err == 0) LogMessage(QStringLiteral("Bestehende Excel-Datei umbenannt in: ") + newName);
  return err;
}

void SettleTarget(RunState& run) {
  if (run.kind == RunKind::Desktop) {
    LogMessage(QStringLiteral("Benutzeraktion: Verzeichnisauswahl"));
    QString chosen;
    IgnoringErrors([&] { chosen = ChooseFolder(*run.dialogs, 0, kFolderPrompt); });
    LogMessage(QStringLiteral("Verzeichnisauswahl: ") + chosen);
    if (!chosen.isEmpty()) {
      run.startDir = chosen;
      SettleInteractiveTarget(run);
      return;
    }
  }
  SettleConfiguredTarget(run);
  // The desktop run reads documents only when the folder came from the
  // configuration; the batch program honours DoSQL after its target checks.
  if (run.kind == RunKind::Batch && run.goAhead) OpenDatabaseIfWanted(run);
}

void SettleInteractiveTarget(RunState& run) {
  SaveDialogRequest request;
  // The legacy format first: it stays the default.
  request.filter = QStringLiteral("Excel-Dateien (*.xls);;Excel-Arbeitsmappen (*.xlsx)");
  request.defaultSuffix = QStringLiteral("xls");
  request.title = QStringLiteral("Properties speichern in...");
  request.initialDir = run.startDir;
  run.goAhead = true;
  OpenDatabaseIfWanted(run);
  if (!run.goAhead) return;
  LogMessage(QStringLiteral("Benutzeraktion: Bestimmung Dateiname für Exceltabelle"));
  IgnoringErrors([&] { run.workbook.targetPath = run.dialogs->SaveFileName(request); });
  LogMessage(kTargetLine + run.workbook.targetPath);
  if (!run.workbook.targetPath.isEmpty()) LockTarget(run);
}

void SettleConfiguredTarget(RunState& run) {
  run.goAhead = true;
  run.startDir = WithTrailingBackslash(PathSetting(run, ini::kSourceDir));
  run.workbook.targetPath = PathSetting(run, ini::kExcelFile);

  if (const std::optional<QString> problem = StartFolderProblem(run.startDir))
    FailCheck(run, *problem);
  else
    LogMessage(QStringLiteral("Startverzeichnis: ") + run.startDir);

  if (run.workbook.targetPath.isEmpty()) {
    FailCheck(run, *WorkbookProblem(run.workbook.targetPath));
    return;
  }
  run.workbook.targetPath = ResolvedWorkbookPath(run.workbook.targetPath);
  if (!NamesFolder(run.workbook.targetPath) && !LockTarget(run)) {
    LogMessage(kTargetLine + run.workbook.targetPath);
    return;
  }
  if (PathExists(run.workbook.targetPath, kAttrNormal)) {
    RenameExistingWorkbook(run);
  } else if (const std::optional<QString> problem = WorkbookProblem(run.workbook.targetPath)) {
    FailCheck(run, *problem);
  }
  LogMessage(kTargetLine + run.workbook.targetPath);
}

}  // namespace tbx
