#include "platform/Process.h"

#include <unistd.h>

#include <csignal>

#include "platform/posix/NativeNames.h"

namespace tbx {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
  g_interrupted = 1;
  // A second Ctrl+C ends the program at once, as users expect.
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

QStringList CommandLineArguments(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << PathFromNative(QByteArray(argv[i]));
  return args;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void CatchInterrupts() {
  // Schedulers, timeout(1) and a closed session send SIGTERM or SIGHUP: the
  // run stops after the current document and saves, as for Ctrl+C.
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, OnInterrupt);
}

bool InterruptRequested() { return g_interrupted != 0; }

}  // namespace tbx
