#include "run/WorkbookOutput.h"

#include <algorithm>

#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "interaction/Dialogs.h"
#include "interaction/ProgressView.h"

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
  state.worksheet->Cells(1, 1)->SetValue(QStringLiteral("Pfad"));
  state.worksheet->Cells(1, 2)->SetValue(QStringLiteral("Dateiname"));
  // Each name above its own column, wherever the mapping puts it.
  for (const MappedColumn& column : mapping.columns) ColumnCell(*state.worksheet, column, 1)->SetValue(column.PropertyName);
}

}  // namespace

std::unique_ptr<Range> ColumnCell(Worksheet& sheet, const MappedColumn& column, int row) {
  const QString reference = column.Key + QString::number(row);
  const bool letters = !column.Key.isEmpty() && std::all_of(column.Key.begin(), column.Key.end(), [](QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
  });
  if (!letters) throw InvalidCellReference(reference);
  return sheet.GetRange(reference);
}

QString WorkbookPartName(const QString& basePath, int part) {
  // Three digits as users know them; a run with more than a thousand parts
  // gets longer numbers instead of overwriting part 000.
  return PathPart(basePath, DirectoryPart) + PathPart(basePath, BaseNamePart) + QLatin1Char('_') +
         QStringLiteral("%1").arg(part, 3, 10, QLatin1Char('0')) + QStringLiteral(".xls");
}

bool StartWorkbookOutput(Dialogs& dialogs, WorkbookState& state, const ColumnMapping& mapping) {
  Log("Excel-Instanz suchen");
  state.startedHere = false;
  state.basePath = state.targetPath;
  state.partNumber = 0;
  state.application = GetRunningApplication();
  if (!state.application) {
    Log("Keine laufende Excel-Instanz gefunden - Neue Instanz wird gestartet");
    state.application = CreateApplication();
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
