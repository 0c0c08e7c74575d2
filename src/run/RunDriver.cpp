#include "run/RunDriver.h"

#include <QDir>
#include <QFileInfo>
#include <new>

#include "common/Config.h"
#include "common/ConfigLocation.h"
#include "common/PathHelpers.h"
#include "common/DirectoryScan.h"
#include "common/RunError.h"
#include "common/RunLog.h"
#include "interaction/ProgressTexts.h"
#include "interaction/ProgressView.h"
#include "common/ProgramInfo.h"
#include "common/WorkerPool.h"
#include "run/ColumnMapping.h"
#include "run/DocumentLoop.h"
#include "run/ErrorModes.h"
#include "run/RunErrorPath.h"
#include "run/RunTarget.h"
#include "run/StartSettings.h"

namespace tbx {
namespace {

bool GateOpen(const RunState& run) { return run.goAhead && !run.workbook.targetPath.isEmpty(); }

// The first and the last workbook file a run has written, or is about to
// write with its last save.
QString FirstWorkbook(const RunState& run) {
  return run.workbook.partNumber > 0 ? WorkbookPartName(run.workbook.basePath, 0) : run.workbook.targetPath;
}

// What the desktop's final question tells above it: a window has no closing
// summary on a terminal. files counts the last save to come.
QString FinalReport(const RunState& run, qint64 files) {
  QString text;
  if (run.cancelled)
    text = QStringLiteral("Die Bearbeitung wurde abgebrochen. Die Arbeitsmappe enthält die bis dahin gelesenen "
                          "Dokumente.\n\n");
  text += QStringLiteral("Gefundene Dokumente: %1\nGeschriebene Zeilen: %2\nMarkierte Zeilen: %3\n")
              .arg(CountText(run.foundDocuments.size()), CountText(run.stats.rowsWritten),
                   CountText(run.stats.rowsMarked));
  if (files > 1)
    text += QStringLiteral("Arbeitsmappen: %1 (%2 bis %3)").arg(files).arg(FirstWorkbook(run), run.workbook.targetPath);
  else
    text += QStringLiteral("Arbeitsmappe: ") + run.workbook.targetPath;
  return text;
}

// Preparation, spreadsheet start, scan, documents and finish.
void RunWorkbookPhases(RunState& run) {
  ProgressView& progress = *run.progress;
  run.log.LogMessage(QStringLiteral("Dateiendungen: ") + run.pattern);
  progress.SetStatus(QStringLiteral("Excel wird initialisiert..."));
  progress.Show();
  // The mapping is read while failures are still ignored: a failing read
  // leaves the mapping empty and the run goes on with two columns.
  ColumnMapping mapping;
  IgnoringErrors([&] { mapping = ReadColumnMapping(run.log, *run.dialogs, run.configPath, run.databaseMode); });
  run.maxRange = MaxRangeForTarget(run.maxRange, run.workbook.targetPath);
  if (!StartWorkbookOutput(*run.dialogs, run.log, run.workbook, mapping)) return;

  // One pool of helpers lists the folders and then reads the documents.
  const int readers = ConfiguredReaders();
  WorkerPool pool(readers >= 2 ? readers : 0);
  run.log.LogMessage(QStringLiteral("Start der Verzeichnis-Analyse"));
  progress.SetStatus(QStringLiteral("Verzeichnisstruktur wird analysiert..."));
  run.foundDocuments = CollectFiles(run.log, *run.progress, pool, run.startDir, run.pattern, &run.cancelled);
  // A stop during the scan saves what the run has, as one in the loop does:
  // the header alone.
  if (!run.cancelled) {
    run.log.LogMessage(QString::number(run.foundDocuments.size()) +
                       QStringLiteral(" gefundene Dateien werden ausgelesen"));
    progress.ShowProgress();
    ProcessDocuments(run, mapping, pool);
  }

  const QString report = run.kind == RunKind::Desktop ? FinalReport(run, run.stats.workbookFiles + 1) : QString();
  FinishWorkbookOutput(*run.dialogs, *run.progress, run.log, run.workbook, run.cancelled, report);
  ++run.stats.workbookFiles;
  run.workbookSaved = true;
}

void RunPhases(RunState& run) {
  ReadStartSettings(run);
  run.log.LogMessage(QString());  // sets each run apart in the day's file
  run.log.LogMessage(QStringLiteral("Programmstart"));
  if (run.kind == RunKind::Batch || run.gui) {
    SettleTarget(run);
    if (GateOpen(run)) RunWorkbookPhases(run);
  }
  run.log.LogMessage(QStringLiteral("Programm wird beendet"));
}

RunOutcome Outcome(const RunState& run) {
  if (run.cancelled || !run.workbookSaved) return RunOutcome::Stopped;
  return RunOutcome::WorkbookWritten;
}

}  // namespace

RunOutcome DriveRun(RunState& run) {
  try {
    RunPhases(run);
    return Outcome(run);
  } catch (const RunError& error) {
    EndWithRunTimeError(run, error);
  } catch (const std::bad_alloc&) {
    EndWithRunTimeError(run, RunError(kErrOutOfMemory, QStringLiteral("Nicht genügend Speicher")));
  } catch (const std::exception& e) {
    EndWithRunTimeError(run, RunError(kErrInternal, QStringLiteral("Interner Fehler: ") +
                                                        QString::fromLocal8Bit(e.what())));
  } catch (...) {
    EndWithRunTimeError(run, RunError(kErrInternal, QStringLiteral("Interner Fehler")));
  }
  return RunOutcome::RunTimeError;
}

namespace {

// A named configuration's folder serves as the program's folder.
void UseConfiguration(RunState& run, RunKind kind, const QString& configPath) {
  const QFileInfo config(configPath);
  SetProgramFolder(config.absolutePath());
  run.kind = kind;
  run.configPath = QDir::toNativeSeparators(config.absoluteFilePath());
}

// A configuration that cannot be read or is no text would give a run
// without a single setting: the batch program refuses it before its run,
// and the window says why. A missing one is the run's own business: it asks
// for the folders, as it always has.
RunOutcome DriveDesktopRun(RunState& run) {
  if (IsRegularFile(run.configPath)) {
    if (const std::optional<QString> problem = ConfigurationFileProblem(run.configPath)) {
      run.dialogs->ReportFailedCheck(*problem);
      return RunOutcome::Stopped;
    }
  }
  return DriveRun(run);
}

}  // namespace

RunOutcome RunDesktop() {
  RunState run;
  run.kind = RunKind::Desktop;
  run.configPath = ConfigurationPath();
  return DriveDesktopRun(run);
}

RunOutcome RunDesktop(const QString& configPath) {
  RunState run;
  UseConfiguration(run, RunKind::Desktop, configPath);
  return DriveDesktopRun(run);
}

RunOutcome RunBatch(const QString& configPath, RunSummary* summary, std::function<void(const QString&)> logFailure) {
  RunState run;
  UseConfiguration(run, RunKind::Batch, configPath);
  run.log.SetFailureNotice(std::move(logFailure));
  const RunOutcome outcome = DriveRun(run);
  if (summary) {
    summary->documentsFound = run.foundDocuments.size();
    summary->stats = run.stats;
    summary->firstWorkbook = FirstWorkbook(run);
    summary->lastWorkbook = run.workbook.targetPath;
    summary->logFile = run.log.LogEnabled() ? run.log.LogFilePath() : QString();
  }
  return outcome;
}

int ExitStatus(RunOutcome outcome) { return static_cast<int>(outcome); }

}  // namespace tbx
