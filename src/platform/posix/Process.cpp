#include "platform/Process.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "platform/posix/NativeNames.h"

namespace tbx {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// The signal caught, for EndAsInterrupted.
extern "C" void OnInterrupt(int signal) { g_interrupted = signal; }

}  // namespace

void PrepareStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open() takes the lowest free number, which is fd.
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
  std::signal(SIGPIPE, SIG_IGN);
}

QStringList CommandLineArguments(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << PathFromNative(QByteArray(argv[i]));
  return args;
}

// Qt ends a widget program that finds no display with an abort; users
// starting it over ssh or from a cron job get a sentence instead.
QString NoDisplayReason() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    if (!qEnvironmentVariableIsEmpty(name)) return QString();
  return QStringLiteral("DISPLAY ist nicht gesetzt");
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

int TerminalColumns(std::FILE* stream) {
  struct winsize size {};
  return ::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

void CatchInterrupts() {
  // Schedulers, timeout(1) and a closed session send SIGTERM or SIGHUP: the
  // run stops after the current document and saves, as for Ctrl+C.
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, OnInterrupt);
}

bool InterruptRequested() { return g_interrupted != 0; }

void EndAsInterrupted() {
  const int signal = g_interrupted != 0 ? int(g_interrupted) : SIGTERM;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);  // the signal was blocked
}

}  // namespace tbx
