#pragma once
// Text measured in terminal columns, so that a redrawn line never wraps: a
// wrapped line cannot be taken back with a carriage return, and every
// redraw would leave one more line behind.
#include <QString>

namespace tbx {

// The columns text takes on a terminal: East Asian wide characters two,
// combining marks none, everything else one. Control characters are to be
// escaped before (text/ControlCharacters.h).
int TerminalColumns(const QString& text);

// text in at most columns columns: its middle replaced by "…" where it is
// longer, so that both the start and the end of a path stay readable.
QString ElideMiddle(const QString& text, int columns);

// text cut at its end to at most columns columns.
QString CutToColumns(const QString& text, int columns);

}  // namespace tbx
