#include "run/RunErrorPath.h"

#include "common/RunLog.h"
#include "interaction/Dialogs.h"
#include "interaction/ProgressView.h"
#include "run/ErrorModes.h"

namespace tbx {

QString RunTimeErrorText(const RunError& error) {
  return QStringLiteral("Laufzeitfehler ") + QString::number(error.number()) + QStringLiteral(": ") +
         error.description();
}

void EndWithRunTimeError(RunState& run, const RunError& error) {
  const QString text = RunTimeErrorText(error);
  run.log.LogMessage(text);
  run.log.LogMessage(QStringLiteral("Programm wird abgebrochen"));
  WorkbookState& book = run.workbook;
  if (book.application) {
    // The rows written so far are kept: the workbook is saved where the run
    // meant to write it.
    if (book.workbook) {
      IgnoringErrors([&] {
        book.application->SetDisplayAlerts(false);
        SaveWorkbook(run.log, book);
        ++run.stats.workbookFiles;
      });
    }
    if (book.startedHere) {
      IgnoringErrors([&] {
        book.application->SetDisplayAlerts(false);
        book.application->Quit();
      });
    }
  }
  IgnoringErrors([&] {
    run.dialogs->MessageBox(text, MessageButtons::Ok, MessageIcon::Critical, QString());
  });
  book.worksheet = nullptr;
  book.workbook = nullptr;
  book.application.reset();
  IgnoringErrors([&] { run.progress->Unload(); });
}

}  // namespace tbx
