#pragma once
// Steps 3 to 6 of a run: the start folder and the workbook to write, chosen
// in dialogs or taken from [Pfade] with their checks.
#include <QString>
#include <optional>

#include "run/RunState.h"

namespace tbx {

// Desktop runs ask for the folder first and fall back to the configured
// paths on cancel; batch runs take the configured paths straight away.
void SettleTarget(RunState& run);

// With a chosen start folder: the save dialog names the workbook.
void SettleInteractiveTarget(RunState& run);

// Without one: [Pfade] SourceDir and ExcelFile with every check and log
// line. An existing workbook is kept under its backup name when the new one
// is saved (WorkbookBackup.h).
void SettleConfiguredTarget(RunState& run);

// A workbook named without a folder lies in the program's folder (the
// user's documents folder when that cannot be written).
QString ResolvedWorkbookPath(const QString& path);

// What a workbook must never be: the files the run reads and writes besides
// it. (A workbook in the start folder is fine: the save dialog opens there,
// and an earlier file of its name is kept under its backup name anyway.)
struct WorkbookContext {
  QString configPath;
  QString logFile;
};

// The checks of the start folder (with its trailing separator) and the
// workbook path (made whole) that stop a run before anything is written or
// moved: the message, or std::nullopt when the run may go on. An existing
// workbook is no problem: it is kept under its backup name at the save.
std::optional<QString> StartFolderProblem(const QString& startDir);
std::optional<QString> WorkbookProblem(const QString& workbookPath, const WorkbookContext& context);

}  // namespace tbx
