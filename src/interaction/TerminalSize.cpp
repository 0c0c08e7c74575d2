#include "interaction/TerminalSize.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace tbx {

// Asked at every redraw rather than once: a terminal window made narrower
// during a long run would otherwise get lines that wrap.
int TerminalWidth(std::FILE* stream) {
  int columns = 0;
#ifdef Q_OS_WIN
  CONSOLE_SCREEN_BUFFER_INFO info;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (handle != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(handle, &info))
    columns = info.srWindow.Right - info.srWindow.Left + 1;
#else
  struct winsize size {};
  if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0) columns = size.ws_col;
#endif
  if (columns > 0) return columns;
  bool ok = false;
  const int fromEnvironment = qEnvironmentVariableIntValue("COLUMNS", &ok);
  return ok && fromEnvironment > 0 ? fromEnvironment : 80;
}

}  // namespace tbx
