#include "xls/AutomationRules.h"

#include <cmath>

#include "platform/DesktopViewer.h"
#include "xls/DateSerial.h"
#include "xls/Palette.h"
#include "xls/Spreadsheet.h"

namespace tbx {
namespace {

constexpr int kNone = -4142;          // "no fill" of colour index and pattern
constexpr int kWhiteColourIndex = 2;  // a solid fill without a colour is white

[[noreturn]] void Fail(const QString& description) { throw RunError(kErrWorkbook, description); }

}  // namespace

RunError WorkbookClosedError() {
  return RunError(kErrWorkbook, QStringLiteral("Die Arbeitsmappe ist bereits geschlossen."));
}

RunError ApplicationEndedError() {
  return RunError(kErrWorkbook, QStringLiteral("Die Tabellenkalkulation wurde bereits beendet."));
}

RunError NoSelectionError() { return RunError(kErrWorkbook, QStringLiteral("Es ist keine Zelle ausgewählt.")); }

RunError CellOutsideSheetError(int row, int column, SheetGrid grid) {
  return RunError(kErrWorkbook, QStringLiteral("Die Zelle in Zeile %1, Spalte %2 liegt außerhalb des "
                                               "Tabellenblatts (Zeilen 1 bis %3, Spalten 1 bis %4).")
                                    .arg(row)
                                    .arg(column)
                                    .arg(grid.rows)
                                    .arg(grid.columns));
}

void ApplyNumberFormat(xls::CellStyle& style, const QString& format) {
  // The writers know text ("@") and the general format, all a run asks for.
  if (format == QLatin1String("@")) {
    style.format = xls::NumberFormat::Text;
  } else if (format == QLatin1String("General") || format == QLatin1String("Standard")) {
    style.format = xls::NumberFormat::General;
  } else {
    Fail(QStringLiteral("Das Zahlenformat \"%1\" wird nicht unterstützt.").arg(format));
  }
}

void ApplyInteriorColorIndex(xls::CellStyle& style, int index) {
  if (index == kNone) {
    style.fillColour = 0;
    return;
  }
  if (index < 1 || index > xls::kPaletteColours) {
    Fail(QStringLiteral("Der Farbindex %1 liegt außerhalb von 1 bis %2.").arg(index).arg(xls::kPaletteColours));
  }
  // As in spreadsheet applications, picking a colour fills the cell solidly.
  style.fillColour = static_cast<quint8>(index);
}

void ApplyInteriorPattern(xls::CellStyle& style, int pattern) {
  if (pattern == kNone) {
    style.fillColour = 0;
  } else if (pattern == kPatternSolid) {
    if (style.fillColour == 0) style.fillColour = kWhiteColourIndex;
  } else {
    Fail(QStringLiteral("Das Füllmuster %1 wird nicht unterstützt.").arg(pattern));
  }
}

double CellNumber(double value) {
  if (!std::isfinite(value)) Fail(QStringLiteral("Der Wert %1 ist keine Zahl, die eine Zelle aufnehmen kann.").arg(value));
  return value;
}

double CellDateTime(const QDateTime& value) {
  const std::optional<double> serial = xls::SpreadsheetSerial(value);
  if (!serial) {
    Fail(QStringLiteral("Das Datum \"%1\" liegt außerhalb von 01.01.1900 bis 31.12.9999 und kann in keiner "
                        "Datumszelle stehen.")
             .arg(value.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"))));
  }
  return *serial;
}

void ShowSavedWorkbook(const QString& path) {
  if (!OpenWithDesktop(path)) {
    Fail(QStringLiteral("Die Arbeitsmappe \"%1\" kann nicht angezeigt werden: es ist kein Programm "
                        "zum Öffnen von Excel-Dateien eingerichtet.")
             .arg(path));
  }
}

}  // namespace tbx
