#include "common/PathHelpers.h"
#include "common/SystemErrorText.h"
#include "common/TextForm.h"
#include "docprops/modDocProps.h"
#include "platform/FileSystem.h"

namespace tbx {

namespace {

bool IsCreationDateName(const QString& lower) {
  return lower == QLatin1String("erstelldatum") || lower == QLatin1String("erstellt");
}

bool IsFileTypeName(const QString& lower) { return lower == QLatin1String("%dateityp"); }

}  // namespace

bool IsSpecialName(const QString& propertyName) {
  const QString lower = propertyName.toLower();
  return IsCreationDateName(lower) || IsFileTypeName(lower);
}

std::optional<CellValue> SpecialNameValue(const QString& path, const QString& propertyName, QString& problem) {
  problem.clear();
  const QString lower = propertyName.toLower();
  if (IsCreationDateName(lower)) {
    QDateTime created;
    // A document that vanished after the scan, or whose folder became
    // unreadable, costs its own cell, as an unreadable property does: one
    // file must not end the run.
    if (const int err = FileCreationTime(path, created)) {
      problem = QStringLiteral("FEHLER beim Lesen des Erstelldatums von ") + path + QStringLiteral(": ") +
                ErrnoDescription(err);
      return CellValue{};
    }
    return CellValue{GeneralDateText(created), CellValue::Kind::DateTime, 0, created};
  }
  if (IsFileTypeName(lower)) return TextCell(PathPart(PathPart(path, FileNamePart), ExtensionPart).toLower());
  return std::nullopt;
}

}  // namespace tbx
