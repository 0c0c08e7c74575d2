#include "run/RunTarget.h"

#include <QDir>

#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/FolderChooser.h"
#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
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
}

// A relative workbook path means the program's folder, for testing the file,
// renaming it and writing it alike; checking it against the working folder
// instead would miss last run's workbook and let the save overwrite it.
QString ResolvedWorkbookPath(const QString& path) {
  if (!QDir::isRelativePath(path)) return path;
  return WithTrailingBackslash(ProgramFolder()) + path;
}

// A path ending in a separator, or naming a folder, can never be written as a workbook.
bool NamesFolder(const QString& path) {
  return path.endsWith(QChar(kPathSeparator)) ||
         (PathExists(path, kAttrDirectory) && !PathExists(path, kAttrNormal));
}

// Moves an existing workbook out of the way. Only when that worked may the
// run go on: the save would otherwise replace the previous workbook.
void RenameExistingWorkbook(RunState& run) {
  // The old workbook is made writable again; if that fails it still renames.
  (void)MakeWritable(run.targetPath);
  const QString newName = BackupWorkbookName(run.targetPath, Now());
  const int err = RenameEntry(run.targetPath, PathPart(run.targetPath, DirectoryPart) + newName);
  if (err == 0) {
    LogMessage(QStringLiteral("Bestehende Excel-Datei umbenannt in: ") + newName);
  } else {
    FailCheck(run, QStringLiteral("Bestehende Excel-Datei kann nicht umbenannt werden in ") + newName +
                       QStringLiteral(": ") + ErrnoDescription(err));
  }
}

}  // namespace

QString BackupWorkbookName(const QString& workbookPath, const QDateTime& now) {
  return PathPart(workbookPath, BaseNamePart) + u'_' + now.toString(QStringLiteral("yyyyMMddhhmm")) +
         QStringLiteral(".xls");
}

void SettleTarget(RunState& run) {
  if (run.kind == RunKind::Desktop) {
    LogMessage(QStringLiteral("Benutzeraktion: Verzeichnisauswahl"));
    QString chosen;
    IgnoringErrors([&] { chosen = ChooseFolder(0, kFolderPrompt); });
    LogMessage(QStringLiteral("Verzeichnisauswahl: ") + chosen);
    if (!chosen.isEmpty()) {
      run.startDir = chosen;
      SettleInteractiveTarget(run);
      return;
    }
  }
  SettleConfiguredTarget(run);
  // A batch run decides database mode here, after its configured target, in
  // the same way as the interactive target does.
}

void SettleInteractiveTarget(RunState& run) {
  SaveDialogRequest request;
  request.filter = QStringLiteral("Excel-Dateien (*.xls)");
  request.defaultSuffix = QStringLiteral("xls");
  request.title = QStringLiteral("Properties speichern in...");
  request.initialDir = run.startDir;
  run.goAhead = true;
  // Database mode is decided here: [SQL] DoSQL is read and the run's
  // connection opened (section "ODBC"); a failed connection clears the
  // go-ahead flag, and the save dialog is then not shown.
  LogMessage(QStringLiteral("Benutzeraktion: Bestimmung Dateiname für Exceltabelle"));
  IgnoringErrors([&] { run.targetPath = TheDialogs().SaveFileName(request); });
  LogMessage(kTargetLine + run.targetPath);
}

void SettleConfiguredTarget(RunState& run) {
  run.goAhead = true;
  run.startDir = WithTrailingBackslash(PathSetting(run, ini::kSourceDir));
  run.targetPath = PathSetting(run, ini::kExcelFile);

  if (run.startDir.isEmpty()) {
    FailCheck(run, QStringLiteral("Kein Startverzeichnis angegeben."));
  } else if (PathExists(run.startDir, kAttrDirectory)) {
    LogMessage(QStringLiteral("Startverzeichnis: ") + run.startDir);
  } else {
    FailCheck(run, QStringLiteral("Das angegebene Startverzeichnis existiert nicht: ") + run.startDir);
  }

  if (run.targetPath.isEmpty()) {
    FailCheck(run, QStringLiteral("Keine Exceldatei angegeben."));
    return;
  }
  run.targetPath = ResolvedWorkbookPath(run.targetPath);
  if (PathExists(run.targetPath, kAttrNormal)) {
    RenameExistingWorkbook(run);
  } else if (NamesFolder(run.targetPath) ||
             !PathExists(PathPart(run.targetPath, DirectoryPart), kAttrDirectory)) {
    FailCheck(run, QStringLiteral("Die angegebene Exceldatei kann nicht erzeugt werden: ") + run.targetPath);
  }
  LogMessage(kTargetLine + run.targetPath);
}

}  // namespace tbx
