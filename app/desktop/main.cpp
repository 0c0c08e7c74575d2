// tabellix: the desktop program; no arguments, "ZireVuz.ini" beside it.
#include <QApplication>

#include "run/RunDriver.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The run shows its outcome in the log and its messages, not in an exit status.
  (void)tbx::RunDesktop();
  return 0;
}
