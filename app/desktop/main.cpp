// tabellix: the desktop program; no arguments, "ZireVuz.ini" beside it.
#include <QApplication>

#include "run/RunDriver.h"
#include "ui/QtDialogs.h"
#include "ui/QtProgressView.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tbx::QtDialogs dialogs;
  tbx::QtProgressView progress;
  tbx::InstallDialogs(&dialogs);
  tbx::InstallProgress(&progress);
  // The run shows its outcome in the log and its messages, not in an exit status.
  (void)tbx::RunDesktop();
  tbx::InstallProgress(nullptr);
  tbx::InstallDialogs(nullptr);
  return 0;
}
