#pragma once
// The width of the terminal the progress line is drawn on.
#include <cstdio>

namespace tbx {

// The columns of the terminal behind stream, asked anew at every call so a
// window made narrower during the run is followed; COLUMNS, then 80, where
// the terminal does not say.
int TerminalWidth(std::FILE* stream);

}  // namespace tbx
