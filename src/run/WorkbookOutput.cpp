#include "run/WorkbookOutput.h"

#include <algorithm>

#include <QRegularExpression>

#include "common/PathHelpers.h"
#include "common/RunError.h"
#include "common/RunLog.h"
#include "common/SystemErrorText.h"
#include "interaction/Dialogs.h"
#include "interaction/ProgressView.h"
#include "platform/FileSystem.h"
#include "run/WorkbookBackup.h"
#include "xls/CellReference.h"
#include "xlsx/xlsx.h"

namespace tbx {
namespace {

// W1 to W3: a new workbook, its worksheet and, when switched on, the header row.
void OpenWorkbook(RunLog& log, WorkbookState& state, const ColumnMapping& mapping) {
  state.workbook = state.application->AddWorkbook();
  state.worksheet = state.workbook->ActiveWorksheet();
  if (state.worksheet != nullptr) {
    log.LogMessage(QStringLiteral("Aktives Tabellenblatt wird verwendet"));
  } else {
    log.LogMessage(QStringLiteral("Neues Tabellenblatt wird erzeugt"));
    state.worksheet = state.workbook->AddWorksheet();
  }
  if (!mapping.header) {
    state.rowOffset = 0;
    return;
  }
  log.LogMessage(QStringLiteral("Kopfzeile wird ausgegeben"));
  state.rowOffset = 1;
  state.worksheet->SetFirstRowBold();
  // A list of thousands of rows is read with its header in view and filtered.
  state.worksheet->FreezeAndFilterFirstRow();
  state.worksheet->Cells(1, 1)->SetValue(QStringLiteral("Pfad"));
  state.worksheet->Cells(1, 2)->SetValue(QStringLiteral("Dateiname"));
  // Each name above its own column, wherever the mapping puts it.
  for (const MappedColumn& column : mapping.columns) ColumnCell(*state.worksheet, column, 1)->SetValue(column.PropertyName);
}

// When the first part is saved, the workbook of the target's name and part
// files of an earlier run (or any files called so) are moved aside: none is
// replaced without a backup, and none of a longer earlier run stays beside
// the new parts looking current. Backups (12 digits of time) are no parts.
void MovePartsAside(RunLog& log, const QString& basePath) {
  const QString folder = PathPart(basePath, DirectoryPart);
  const QString base = PathPart(basePath, FileNamePart);
  const QRegularExpression part(QLatin1Char('^') + QRegularExpression::escape(PathPart(basePath, BaseNamePart)) +
                                QStringLiteral("_\\d{3,6}") +
                                QRegularExpression::escape(WorkbookExtension(basePath)) + QLatin1Char('$'));
  std::vector<DirectoryEntry> entries;
  if (ListDirectory(folder, entries) != 0) return;
  for (const DirectoryEntry& entry : entries) {
    if (entry.kind != EntryKind::File || (entry.name != base && !part.match(entry.name).hasMatch())) continue;
    QString newName;
    if (const int err = MoveWorkbookAside(log, folder + entry.name, newName)) throw FileSystemError(err, folder + entry.name);
  }
}

// Whether the file at the target is the one this run saved there last.
bool SavedHere(const WorkbookState& state) {
  FileIdentity now;
  return state.savedPath == state.targetPath && IdentifyFile(state.targetPath, now) == 0 &&
         now.SameVersion(state.savedIdentity);
}

}  // namespace

int ColumnNumber(const MappedColumn& column, int row, SheetGrid grid) {
  const QString reference = column.Key + QString::number(row);
  const bool letters = !column.Key.isEmpty() && std::all_of(column.Key.begin(), column.Key.end(), [](QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
  });
  const std::optional<CellAddress> address = letters ? ParseA1Reference(reference, grid) : std::nullopt;
  if (!address) throw InvalidCellReference(reference, grid);
  return address->column;
}

std::unique_ptr<Range> ColumnCell(Worksheet& sheet, const MappedColumn& column, int row) {
  return sheet.Cells(row, ColumnNumber(column, row, sheet.Grid()));
}

QString WorkbookExtension(const QString& target) {
  return IsXlsxName(target) ? QStringLiteral(".xlsx") : QStringLiteral(".xls");
}

QString WorkbookPartName(const QString& basePath, int part) {
  // Three digits as users know them; a run with more than a thousand parts
  // gets longer numbers instead of overwriting part 000.
  return PathPart(basePath, DirectoryPart) + PathPart(basePath, BaseNamePart) + QLatin1Char('_') +
         QStringLiteral("%1").arg(part, 3, 10, QLatin1Char('0')) + WorkbookExtension(basePath);
}

bool StartWorkbookOutput(Dialogs& dialogs, RunLog& log, WorkbookState& state, const ColumnMapping& mapping) {
  log.LogMessage(QStringLiteral("Excel-Instanz suchen"));
  state.startedHere = false;
  state.basePath = state.targetPath;
  state.partNumber = 0;
  state.application = GetRunningApplication();
  if (!state.application) {
    log.LogMessage(QStringLiteral("Keine laufende Excel-Instanz gefunden - Neue Instanz wird gestartet"));
    state.application = CreateApplicationFor(state.targetPath);
    state.startedHere = true;
  } else {
    log.LogMessage(QStringLiteral("Excel-Instanz gefunden"));
  }
  if (!state.application) {
    log.LogMessage(QStringLiteral("Starten von Excel fehlgeschlagen"));
    dialogs.MessageBox(
        QStringLiteral("Excel konnte nicht gestartet werden. Prüfen Sie bitte, ob Excel in der "
                       "richtigen Version (Excel 2000) installiert ist."),
        MessageButtons::Ok, MessageIcon::Critical, QString());
    return false;
  }
  state.application->SetDisplayAlerts(false);
  log.LogMessage(QStringLiteral("Neue Excel-Mappe anlegen"));
  OpenWorkbook(log, state, mapping);
  return true;
}

void NextWorkbookPart(RunLog& log, WorkbookState& state, const ColumnMapping& mapping) {
  if (state.partNumber == 0) MovePartsAside(log, state.basePath);
  if (state.application && state.workbook != nullptr) {
    state.targetPath = WorkbookPartName(state.basePath, state.partNumber);
    log.LogMessage(QStringLiteral("Excel-Mappe speichern: ") + state.targetPath);
    SaveWorkbook(log, state);
    state.worksheet = nullptr;
    state.workbook->Close();
    state.workbook = nullptr;
  }
  ++state.partNumber;
  state.application->SetDisplayAlerts(false);
  state.targetPath = WorkbookPartName(state.basePath, state.partNumber);
  log.LogMessage(QStringLiteral("Neue Excel-Mappe anlegen: ") + state.targetPath);
  OpenWorkbook(log, state, mapping);
}

void SaveWorkbook(RunLog& log, WorkbookState& state) {
  if (!state.application || state.workbook == nullptr) return;
  WorkbookBackup backup;
  if (!SavedHere(state))
    if (const int err = backup.Keep(state.targetPath)) throw FileSystemError(err, state.targetPath);
  try {
    state.workbook->SaveAs(state.targetPath);
  } catch (...) {
    backup.Undo();
    throw;
  }
  backup.Done(log);
  state.savedPath = state.targetPath;
  if (IdentifyFile(state.targetPath, state.savedIdentity) != 0) state.savedPath.clear();
}

void FinishWorkbookOutput(Dialogs& dialogs, ProgressView& progress, RunLog& log, WorkbookState& state,
                          bool cancelled, const QString& report) {
  if (!state.application) return;
  log.LogMessage(cancelled ? QStringLiteral("Bearbeitung abgebrochen. Excel-Datei speichern")
                           : QStringLiteral("Alle Dateien verarbeitet. Excel-Datei speichern"));
  SaveWorkbook(log, state);
  state.application->SetDisplayAlerts(true);
  // After a cancel the window is already gone; unloading again would reload it.
  if (!cancelled) progress.Unload();
  log.LogMessage(QStringLiteral("Dialog \"Excel ansehen?\" wird angezeigt"));
  const QString question = QStringLiteral("Möchten Sie die resultierende Excel-Datei jetzt ansehen?");
  const int answer = dialogs.MessageBox(report.isEmpty() ? question : report + QStringLiteral("\n\n") + question,
                                        MessageButtons::YesNo, MessageIcon::Question,
                                        cancelled ? QStringLiteral("Arbeiten abgebrochen")
                                                  : QStringLiteral("Arbeiten abgeschlossen"));
  bool shown = false;
  if (answer == kResultYes) {
    log.LogMessage(QStringLiteral("Excel wird sichtbar gemacht"));
    // The workbook is saved: a desktop without a program for it is no
    // failure of the run, only a reason to say where the file is.
    try {
      state.application->SetVisible(true);
      shown = true;
    } catch (const RunError& error) {
      log.LogMessage(error.description());
      dialogs.MessageBox(error.description(), MessageButtons::Ok, MessageIcon::Warning, QString());
    }
  }
  if (!shown) {
    log.LogMessage(QStringLiteral("Excel-Tabelle wird geschlossen"));
    state.worksheet = nullptr;
    if (state.workbook != nullptr) state.workbook->Close();
    if (state.startedHere) {
      log.LogMessage(QStringLiteral("Excel wird beendet"));
      state.application->Quit();
    }
  }
  // The run keeps no hold on the spreadsheet after this.
  state.worksheet = nullptr;
  state.workbook = nullptr;
  state.application.reset();
}

}  // namespace tbx
