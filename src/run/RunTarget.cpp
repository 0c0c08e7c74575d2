#include "run/RunTarget.h"

#include <QDir>

#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/FolderChooser.h"
#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "common/SystemErrorText.h"
#include "database/modDatabase.h"
#include "interaction/Dialogs.h"
#include "common/ReplaceFile.h"
#include "platform/FileSystem.h"
#include "common/ProgramInfo.h"
#include "platform/Clock.h"
#include "run/ErrorModes.h"
#include "run/WorkbookBackup.h"

namespace tbx {
namespace {

const QString kFolderPrompt = QStringLiteral(
    "Wählen Sie das Verzeichnis, in dem sich die zu lesenden Solid Edge Dateien befinden:");
const QString kTargetLine = QStringLiteral("Zu schreibende Excel-Datei: ");

QString PathSetting(const RunState& run, const ini::Setting& setting) {
  return ReadIniValue(setting, run.configPath);
}

void FailCheck(RunState& run, const QString& logLine) {
  run.goAhead = false;
  run.log.LogMessage(logLine);
  run.dialogs->ReportFailedCheck(logLine);
}


const QString kCannotCreate = QStringLiteral("Die angegebene Exceldatei kann nicht erzeugt werden: ");

// One run at a time writes a workbook: the lock beside it is held until the
// run ends, however it ends. A lock that cannot be taken for any reason (a
// folder or a link in its place) ends the run before anything is written:
// two runs would otherwise replace each other's workbook.
bool LockTarget(RunState& run) {
  const QString& target = run.workbook.targetPath;
  auto lock = std::make_unique<FileLock>();
  const QString lockPath = PathPart(target, DirectoryPart) + u'.' + PathPart(target, FileNamePart) +
                           QStringLiteral(".lock");
  if (const int err = lock->Acquire(lockPath)) {
    FailCheck(run, err == EBUSY ? QStringLiteral("Die Excel-Datei wird gerade von einem anderen Lauf geschrieben: ") + target
                                : QStringLiteral("Die Sperrdatei %1 kann nicht angelegt werden: %2")
                                      .arg(lockPath, ErrnoDescription(err)));
    return false;
  }
  run.targetLock = std::move(lock);
  return true;
}

// The files a workbook must never replace: what the run reads and writes besides it.
WorkbookContext ContextOf(const RunState& run) {
  return WorkbookContext{run.configPath, run.log.LogFilePath()};
}

// [SQL] DoSQL switches database mode on; the run's connection is then opened
// once, before the workbook is chosen, so a wrong setting costs no dialog.
void OpenDatabaseIfWanted(RunState& run) {
  IgnoringErrors([&] {
    run.databaseMode = ReadIniSwitch(ini::kDoSql, run.configPath);
  });
  if (!run.databaseMode) return;
  QString failure;
  IgnoringErrors([&] {
    run.database = ConnectDatabase(*run.dialogs, *run.progress, QString::fromLatin1(ini::kOdbc), run.configPath,
                                   &run.databaseLogin, &failure);
  });
  if (run.database) return;
  // The dialog has said why; the log keeps the cause for whoever reads it later.
  if (!failure.isEmpty()) run.log.LogMessage(QString(failure).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
  FailCheck(run, QStringLiteral("Verbindung zur Datenbank konnte nicht aufgebaut werden. Verarbeitung wird beendet."));
}

// The configured start folder when it exists: the folder dialog opens
// there, where the user most likely wants to start again.
QString ConfiguredStartFolder(const RunState& run) {
  QString folder;
  IgnoringErrors([&] { folder = PathSetting(run, ini::kSourceDir); });
  return !folder.isEmpty() && PathExists(folder, kAttrDirectory) ? folder : QString();
}

// The save dialog proposes the configured workbook: its name, in its own
// folder where it names one that exists, else in the chosen start folder.
void SuggestConfiguredWorkbook(const RunState& run, SaveDialogRequest& request) {
  QString configured;
  IgnoringErrors([&] { configured = PathSetting(run, ini::kExcelFile); });
  const QString name = PathPart(configured, FileNamePart);
  if (name.isEmpty()) return;
  request.suggestedName = name;
  if (configured == name) return;  // a name alone: the start folder as before
  const QString folder = PathPart(ResolvedWorkbookPath(configured), DirectoryPart);
  if (PathExists(folder, kAttrDirectory)) request.initialDir = folder;
}

// A workbook chosen over an existing file: the save dialog does not ask (it
// would say the file is overwritten); this question says what happens.
bool ReplaceConfirmed(RunState& run, const SaveDialogRequest& request) {
  const QString& target = run.workbook.targetPath;
  if (!IsRegularFile(target)) return true;
  const QString text =
      QStringLiteral("Die Datei \"%1\" gibt es bereits.\n\nSie wird nicht überschrieben: die bisherige Arbeitsmappe "
                     "bleibt beim Speichern als Sicherung mit Datum und Uhrzeit im Namen daneben erhalten "
                     "(etwa %2).\n\nMöchten Sie die neue Arbeitsmappe unter diesem Namen speichern?")
          .arg(PathPart(target, FileNamePart), BackupWorkbookName(target, Now()));
  return run.dialogs->MessageBox(text, MessageButtons::YesNo, MessageIcon::Question, request.title) == kResultYes;
}

}  // namespace

// A relative workbook path means the program's folder (the user's documents
// folder when the program's folder cannot be written), for testing the file,
// renaming it and writing it alike; checking it against the working folder
// instead would miss last run's workbook and let the save overwrite it.
QString ResolvedWorkbookPath(const QString& path) {
  if (!QDir::isRelativePath(path)) return path;
  return WithTrailingBackslash(WorkbookFolder()) + path;
}

std::optional<QString> StartFolderProblem(const QString& startDir) {
  if (startDir.isEmpty()) return QStringLiteral("Kein Startverzeichnis angegeben.");
  if (!PathExists(startDir, kAttrDirectory))
    return QStringLiteral("Das angegebene Startverzeichnis existiert nicht: ") + startDir;
  return std::nullopt;
}

std::optional<QString> WorkbookProblem(const QString& workbookPath, const WorkbookContext& context) {
  if (workbookPath.isEmpty()) return QStringLiteral("Keine Exceldatei angegeben.");
  const QString folder = PathPart(workbookPath, DirectoryPart);
  if (workbookPath.endsWith(QChar(kPathSeparator)) || !PathExists(folder, kAttrDirectory))
    return kCannotCreate + workbookPath;
  // Only a file, or a link to one, is replaced: a folder, a device, a pipe
  // or a socket of that name would be replaced by a workbook.
  PathInfo info;
  if (InspectPath(workbookPath, true, info) == 0 && info.kind != EntryKind::File)
    return info.kind == EntryKind::Directory
               ? kCannotCreate + workbookPath
               : QStringLiteral("Die angegebene Exceldatei ist keine gewöhnliche Datei: ") + workbookPath;
  const QString target = CanonicalPath(workbookPath);
  if (!context.configPath.isEmpty() && target == CanonicalPath(context.configPath))
    return QStringLiteral("Die angegebene Exceldatei ist die Konfigurationsdatei: ") + workbookPath;
  if (!context.logFile.isEmpty() && target == CanonicalPath(context.logFile))
    return QStringLiteral("Die angegebene Exceldatei ist das Protokoll des Laufs: ") + workbookPath;
  // Found now, not after a whole run: a folder the user may not write, a
  // read-only share, a full quota.
  if (const int err = ProbeFolderWritable(folder)) return kCannotCreate + workbookPath + QStringLiteral(": ") + ErrnoDescription(err);
  return std::nullopt;
}

void SettleTarget(RunState& run) {
  if (run.kind == RunKind::Desktop) {
    run.log.LogMessage(QStringLiteral("Benutzeraktion: Verzeichnisauswahl"));
    QString chosen;
    IgnoringErrors([&] { chosen = ChooseFolder(*run.dialogs, 0, kFolderPrompt, ConfiguredStartFolder(run)); });
    run.log.LogMessage(QStringLiteral("Verzeichnisauswahl: ") + chosen);
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
  SuggestConfiguredWorkbook(run, request);
  run.goAhead = true;
  OpenDatabaseIfWanted(run);
  if (!run.goAhead) return;
  run.log.LogMessage(QStringLiteral("Benutzeraktion: Bestimmung Dateiname für Exceltabelle"));
  // A workbook that cannot be written is said at once, and the dialog
  // asks again, instead of the run failing at its end.
  for (;;) {
    run.workbook.targetPath.clear();
    IgnoringErrors([&] { run.workbook.targetPath = run.dialogs->SaveFileName(request); });
    if (run.workbook.targetPath.isEmpty()) break;
    const std::optional<QString> problem = WorkbookProblem(run.workbook.targetPath, ContextOf(run));
    if (!problem) {
      if (ReplaceConfirmed(run, request)) break;
      continue;
    }
    run.log.LogMessage(*problem);
    run.dialogs->MessageBox(*problem, MessageButtons::Ok, MessageIcon::Warning, QString());
  }
  run.log.LogMessage(kTargetLine + run.workbook.targetPath);
  if (!run.workbook.targetPath.isEmpty()) LockTarget(run);
}

void SettleConfiguredTarget(RunState& run) {
  run.goAhead = true;
  run.startDir = WithTrailingBackslash(PathSetting(run, ini::kSourceDir));
  run.workbook.targetPath = PathSetting(run, ini::kExcelFile);

  if (const std::optional<QString> problem = StartFolderProblem(run.startDir))
    FailCheck(run, *problem);
  else
    run.log.LogMessage(QStringLiteral("Startverzeichnis: ") + run.startDir);

  if (run.workbook.targetPath.isEmpty()) {
    FailCheck(run, *WorkbookProblem(run.workbook.targetPath, ContextOf(run)));
    return;
  }
  run.workbook.targetPath = ResolvedWorkbookPath(run.workbook.targetPath);
  // An existing workbook stays where it is until the new one is saved: a
  // run that ends before that leaves the folder as it was.
  if (const std::optional<QString> problem = WorkbookProblem(run.workbook.targetPath, ContextOf(run)))
    FailCheck(run, *problem);
  else if (run.goAhead)
    LockTarget(run);
  run.log.LogMessage(kTargetLine + run.workbook.targetPath);
}

}  // namespace tbx
