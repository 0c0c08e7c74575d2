#include "run/WorkbookOutput.h"

#include <algorithm>

#include <QRegularExpression>

#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "interaction/Dialogs.h"
#include "interaction/ProgressView.h"
#include "platform/FileSystem.h"
#include "run/RunTarget.h"
#include "xls/CellReference.h"
#include "xlsx/xlsx.h"

namespace tbx {
namespace {

void Log(const char* utf8) { LogMessage(QString::fromUtf8(utf8)); }

// W1 to W3: a new workbook, its worksheet and, when switched on, the header row.
void OpenWorkbook(WorkbookState& state, const ColumnMapping& mapping) {
  state.workbook = state.application->AddWorkbook();
  state.worksheet = state.workbook->ActiveWorksheet();
  if (state.worksheet != nullptr) {
    Log("Aktives Tabellenblatt wird verwendet");
  } else {
    Log("Neues Tabellenblatt wird erzeugt");
    state.worksheet = state.workbook->AddWorksheet();
  }
  if (!mapping.header) {
    state.rowOffset = 0;
    return;
  }
  Log("Kopfzeile wird ausgegeben");
  state.rowOffset = 1;
  state.worksheet->SetFirstRowBold();
  // A list of thousands of rows is read with its header in view and filtered.
  state.worksheet->FreezeAndFilterFirstRow();
  state.worksheet->Cells(1, 1)->SetValue(QStringLiteral("Pfad"));
  state.worksheet->Cells(1, 2)->SetValue(QStringLiteral("Dateiname"));
  // Each name above its own column, wherever the mapping puts it.
  for (const MappedColumn& column : mapping.columns) ColumnCell(*state.worksheet, column, 1)->SetValue(column.PropertyName);
}

// Part files of the same name from an earlier run (or any file called so)
// are moved aside like the workbook, before the first part is written: none
// is replaced without a backup, and none of a longer earlier run stays beside
// the new parts looking current. Backups (12 digits of time) are no parts.
void MovePartsAside(const QString& basePath) {
  const QString folder = PathPart(basePath, DirectoryPart);
  const QRegularExpression part(QLatin1Char('^') + QRegularExpression::escape(PathPart(basePath, BaseNamePart)) +
                                QStringLiteral("_\\d{3,6}") +
                                QRegularExpression::escape(WorkbookExtension(basePath)) + QLatin1Char('$'));
  std::vector<DirectoryEntry> entries;
  if (ListDirectory(folder, entries) != 0) return;
  for (const DirectoryEntry& entry : entries) {
    if (entry.kind != EntryKind::File || !part.match(entry.name).hasMatch()) continue;
    QString newName;
    if (const int err = MoveWorkbookAside(folder + entry.name, newName)) throw FileSystemError(err, folder + entry.name);
  }
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

bool StartWorkbookOutput(Dialogs& dialogs, WorkbookState& state, const ColumnMapping& mapping) {
  Log("Excel-Instanz suchen");
  state.startedHere = false;
  state.basePath = state.targetPath;
  state.partNumber = 0;
  state.application = GetRunningApplication();
  if (!state.application) {
    Log("Keine laufende Excel-Instanz gefunden - Neue Instanz wird gestartet");
    state.application = CreateApplicationFor(state.targetPath);
    state.startedHere = true;
  } else {
    Log("Excel-Instanz gefunden");
  }
  if (!state.application) {
    Log("Starten von Excel fehlgeschlagen");
    dialogs.MessageBox(
        QStringLiteral("Excel konnte nicht gestartet werden. Prüfen Sie bitte, ob Excel in der "
                       "richtigen Version (Excel 2000) installiert ist."),
        MessageButtons::Ok, MessageIcon::Critical, QString());
    return false;
  }
  state.application->SetDisplayAlerts(false);
  Log("Neue Excel-Mappe anlegen");
  OpenWorkbook(state, mapping);
  return true;
}

void NextWorkbookPart(WorkbookState& state, const ColumnMapping& mapping) {
  if (state.partNumber == 0) MovePartsAside(state.basePath);
  if (state.application && state.workbook != nullptr) {
    state.targetPath = WorkbookPartName(state.basePath, state.partNumber);
    LogMessage(QStringLiteral("Excel-Mappe speichern: ") + state.targetPath);
    SaveWorkbook(state);
    state.worksheet = nullptr;
    state.workbook->Close();
    state.workbook = nullptr;
  }
  ++state.partNumber;
  state.application->SetDisplayAlerts(false);
  state.targetPath = WorkbookPartName(state.basePath, state.partNumber);
  LogMessage(QStringLiteral("Neue Excel-Mappe anlegen: ") + state.targetPath);
  OpenWorkbook(state, mapping);
}

void SaveWorkbook(WorkbookState& state) {
  if (!state.application || state.workbook == nullptr) return;
  state.workbook->SaveAs(state.targetPath);
}

void FinishWorkbookOutput(Dialogs& dialogs, ProgressView& progress, WorkbookState& state, bool cancelled) {
  if (!state.application) return;
  Log(cancelled ? "Bearbeitung abgebrochen. Excel-Datei speichern"
                : "Alle Dateien verarbeitet. Excel-Datei speichern");
  SaveWorkbook(state);
  state.application->SetDisplayAlerts(true);
  // After a cancel the window is already gone; unloading again would reload it.
  if (!cancelled) progress.Unload();
  Log("Dialog \"Excel ansehen?\" wird angezeigt");
  const int answer = dialogs.MessageBox(
      QStringLiteral("Möchten Sie die resultierende Excel-Datei jetzt ansehen?"), MessageButtons::YesNo,
      MessageIcon::None, QStringLiteral("Arbeiten abgeschlossen"));
  if (answer == kResultYes) {
    Log("Excel wird sichtbar gemacht");
    state.application->SetVisible(true);
  } else {
    Log("Excel-Tabelle wird geschlossen");
    state.worksheet = nullptr;
    if (state.workbook != nullptr) state.workbook->Close();
    if (state.startedHere) {
      Log("Excel wird beendet");
      state.application->Quit();
    }
  }
  // The run keeps no hold on the spreadsheet after this.
  state.worksheet = nullptr;
  state.workbook = nullptr;
  state.application.reset();
}

}  // namespace tbx
