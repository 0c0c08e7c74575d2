#pragma once
// What the desktop program does with a termination request or a closed
// session (on Windows, Ctrl+C and its relatives of a console it was started
// from). During a run the progress view reports it as a cancel: the run
// stops after the current document and saves. A question still open then is
// answered as if dismissed, since nobody is there to answer it. Outside a
// run nothing is unsaved, and the program ends at once, as it would have
// without the watch.
#include <QObject>
#include <QTimer>

namespace tbx {

class InterruptWatch : public QObject {
 public:
  // Catches the requests from now on (CatchInterrupts) and looks for one
  // several times a second on the event loop, nested ones included.
  InterruptWatch();

 private:
  void Look();
  QTimer timer_;
};

}  // namespace tbx
