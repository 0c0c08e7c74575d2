#include "run/RunErrorPath.h"

#include "common/RunLog.h"
#include "platform/Dialogs.h"
#include "platform/ProgressView.h"
#include "run/ErrorModes.h"

namespace tbx {

QString RunTimeErrorText(const RunError& error) {
  return QStringLiteral("Laufzeitfehler ") + QString::number(error.number()) + QStringLiteral(": ") +
         error.description();
}

void EndWithRunTimeError(RunState& run, const RunError& error) {
  const QString text = RunTimeErrorText(error);
  LogMessage(text);
  LogMessage(QStringLiteral("Programm wird abgebrochen"));
  if (run.application) {
    // The rows written so far are kept: the workbook is saved where the run
    // meant to write it, replacing nothing else.
    if (run.workbook) {
      IgnoringErrors([&] {
        run.application->SetDisplayAlerts(false);
        run.workbook->SaveAs(run.targetPath);
      });
    }
    if (run.startedHere) {
      IgnoringErrors([&] {
        run.application->SetDisplayAlerts(false);
        run.application->Quit();
      });
    }
  }
  IgnoringErrors([&] {
    TheDialogs().MessageBox(text, MessageButtons::Ok, MessageIcon::Critical, QString());
  });
  run.worksheet = nullptr;
  run.workbook = nullptr;
  run.application.reset();
  IgnoringErrors([] { TheProgress().Unload(); });
}

}  // namespace tbx
