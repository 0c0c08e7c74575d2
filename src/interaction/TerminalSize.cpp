#include "interaction/TerminalSize.h"

#include <QtGlobal>

#include "platform/Process.h"

namespace tbx {

// Asked at every redraw rather than once: a terminal window made narrower
// during a long run would otherwise get lines that wrap.
int TerminalWidth(std::FILE* stream) {
  if (const int columns = TerminalColumns(stream); columns > 0) return columns;
  bool ok = false;
  const int fromEnvironment = qEnvironmentVariableIntValue("COLUMNS", &ok);
  return ok && fromEnvironment > 0 ? fromEnvironment : 80;
}

}  // namespace tbx
