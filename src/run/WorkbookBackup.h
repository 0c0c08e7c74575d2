#pragma once
// Earlier workbooks are never replaced without a backup: last run's
// workbook, its part files, or a file a colleague saved at the target during
// the run. Each is kept under a backup name at the moment the new workbook
// is saved, so a run that ends before saving leaves the folder as it was.
#include <QDateTime>
#include <QString>

#include "common/RunLog.h"

namespace tbx {

// The name an earlier workbook is kept under: its base name, "_", the time
// as yyyyMMddhhmm, "_<attempt>" from the second attempt on, and ".xls"
// (".xlsx" for such a workbook; no folder).
QString BackupWorkbookName(const QString& workbookPath, const QDateTime& now, int attempt = 1);

// Renames the workbook at path to the first free backup name, given in
// newName, and logs the name; 0 or the errno of the failed rename.
[[nodiscard]] int MoveWorkbookAside(RunLog& log, const QString& path, QString& newName);

// The earlier file at a path about to be saved, kept under its backup name
// for the time of the save.
class WorkbookBackup {
 public:
  // Keeps the file at path (when there is one) under the first free backup
  // name: as a second name of the file where the file system allows it, so
  // that the save replaces the workbook without a moment without one; else
  // renamed. 0 or the errno of the failure.
  [[nodiscard]] int Keep(const QString& path);
  // The save failed: the earlier file is at its name again, the backup name gone.
  void Undo();
  // The save succeeded: the log names the backup.
  void Done(RunLog& log);

 private:
  QString path_;
  QString backup_;  // "" when there was nothing to keep
  bool linked_ = false;
};

}  // namespace tbx
