#pragma once
// Steps 3 to 6 of a run: the start folder and the workbook to write, chosen
// in dialogs or taken from [Pfade] with their checks.
#include <QDateTime>
#include <QString>
#include <optional>

#include "run/RunState.h"

namespace tbx {

// Desktop runs ask for the folder first and fall back to the configured
// paths on cancel; batch runs take the configured paths straight away.
void SettleTarget(RunState& run);

// With a chosen start folder: the save dialog names the workbook.
void SettleInteractiveTarget(RunState& run);

// Without one: [Pfade] SourceDir and ExcelFile with every check and log line;
// an existing workbook is renamed out of the way first.
void SettleConfiguredTarget(RunState& run);

// The checks of the configured start folder (with its trailing separator)
// and workbook path (made whole) that stop a run before anything is
// written: the message, or std::nullopt when the run may go on. An existing
// workbook is no problem: it is renamed out of the way.
std::optional<QString> StartFolderProblem(const QString& startDir);
std::optional<QString> WorkbookProblem(const QString& workbookPath);

// The name an existing workbook is renamed to: its base name, "_", the time
// as yyyyMMddhhmm, "_<attempt>" from the second attempt on, and the
// workbook extension, ".xls" or ".xlsx" (no folder).
QString BackupWorkbookName(const QString& workbookPath, const QDateTime& now, int attempt = 1);

// Renames the workbook at path to the first free backup name, given in
// newName, and logs the name; 0 or the errno of the failed rename.
int MoveWorkbookAside(const QString& path, QString& newName);

}  // namespace tbx
