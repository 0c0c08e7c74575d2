#include "run/RunDriver.h"

#include <QFileInfo>
#include <new>

#include "common/Config.h"
#include "common/DirectoryScan.h"
#include "common/RunLog.h"
#include "interaction/ProgressView.h"
#include "platform/ProgramInfo.h"
#include "platform/Threads.h"
#include "run/ColumnMapping.h"
#include "run/DocumentLoop.h"
#include "run/ErrorModes.h"
#include "run/RunErrorPath.h"
#include "run/RunTarget.h"
#include "run/StartSettings.h"

namespace tbx {
namespace {

// Failures that are no RunError keep numbers users know: 7 for a lack of
// memory, 51 for an internal error.
constexpr int kErrOutOfMemory = 7;
constexpr int kErrInternal = 51;

bool GateOpen(const RunState& run) { return run.goAhead && !run.workbook.targetPath.isEmpty(); }

// Preparation, spreadsheet start, scan, documents and finish.
void RunWorkbookPhases(RunState& run) {
  ProgressView& progress = *run.progress;
  LogMessage(QStringLiteral("Dateiendungen: ") + run.pattern);
  progress.SetStatus(QStringLiteral("Excel wird initialisiert..."));
  progress.Show();
  // The mapping is read while failures are still ignored: a failing read
  // leaves the mapping empty and the run goes on with two columns.
  ColumnMapping mapping;
  IgnoringErrors([&] { mapping = ReadColumnMapping(*run.dialogs, run.configPath, run.databaseMode); });
  run.maxRange = MaxRangeForTarget(run.maxRange, run.workbook.targetPath);
  if (!StartWorkbookOutput(*run.dialogs, run.workbook, mapping)) return;

  LogMessage(QStringLiteral("Start der Verzeichnis-Analyse"));
  progress.SetStatus(QStringLiteral("Verzeichnisstruktur wird analysiert..."));
  // Folders are listed by as many threads as documents are read with.
  run.foundDocuments = CollectFiles(*run.progress, run.startDir, run.pattern, ConfiguredReaders() - 1);
  LogMessage(QString::number(run.foundDocuments.size()) + QStringLiteral(" gefundene Dateien werden ausgelesen"));
  progress.ShowProgress();

  ProcessDocuments(run, mapping);

  FinishWorkbookOutput(*run.dialogs, *run.progress, run.workbook, run.cancelled);
  ++run.stats.workbookFiles;
  run.workbookSaved = true;
}

void RunPhases(RunState& run) {
  ReadStartSettings(run);
  LogMessage(QString());  // sets each run apart in the day's file
  LogMessage(QStringLiteral("Programmstart"));
  if (run.kind == RunKind::Batch || run.gui) {
    SettleTarget(run);
    if (GateOpen(run)) RunWorkbookPhases(run);
  }
  LogMessage(QStringLiteral("Programm wird beendet"));
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
  run.configPath = config.absoluteFilePath();
}

}  // namespace

RunOutcome RunDesktop() {
  RunState run;
  run.kind = RunKind::Desktop;
  run.configPath = ConfigurationPath();
  return DriveRun(run);
}

RunOutcome RunDesktop(const QString& configPath) {
  RunState run;
  UseConfiguration(run, RunKind::Desktop, configPath);
  return DriveRun(run);
}

RunOutcome RunBatch(const QString& configPath, RunSummary* summary) {
  RunState run;
  UseConfiguration(run, RunKind::Batch, configPath);
  const RunOutcome outcome = DriveRun(run);
  if (summary) {
    summary->documentsFound = run.foundDocuments.size();
    summary->stats = run.stats;
    summary->firstWorkbook = run.workbook.partNumber > 0 ? WorkbookPartName(run.workbook.basePath, 0)
                                                         : run.workbook.targetPath;
    summary->lastWorkbook = run.workbook.targetPath;
  }
  return outcome;
}

int ExitStatus(RunOutcome outcome) { return static_cast<int>(outcome); }

}  // namespace tbx
