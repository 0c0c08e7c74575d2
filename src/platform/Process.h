#pragma once
// The process in its environment: the arguments it was started with, its
// standard streams, and the signals (or console events) that ask it to stop.
#include <QStringList>
#include <cstdio>

namespace tbx {

// Called first in every program: a standard stream that is closed (a
// program started with ">&- 2>&-") is opened on the null device, so the
// first file the program opens does not take its number and receive its
// messages; and a write to a closed pipe ("| head") fails like any other
// write instead of ending the program before it has saved.
void PrepareStandardStreams();

// The arguments after the program name as text. On POSIX a file name that
// is not UTF-8 keeps its bytes for the calls that open it.
QStringList CommandLineArguments(int argc, char** argv);

// Why no window can be shown, in German, or "" when one can: POSIX needs a
// display (DISPLAY, WAYLAND_DISPLAY, or a platform named in QT_QPA_PLATFORM);
// on Windows a service's invisible window station has none.
QString NoDisplayReason();

// Whether the standard error stream is a terminal (progress is redrawn in
// place there, and written as plain lines into files and pipes).
bool StandardErrorIsTerminal();

// The columns of the terminal (or console window) behind stream; 0 when it
// is none or does not say.
int TerminalColumns(std::FILE* stream);

// From now on Ctrl+C, a termination request and a closed session set the
// interrupt flag instead of ending the process: the run stops after the
// current document (or the folder being scanned) and saves what it has. A
// second one changes nothing: a save under way must not be cut off, and
// the rows read so far are worth as much the second time.
void CatchInterrupts();
bool InterruptRequested();
// Ends the process the way the request caught would have ended it: killed
// by that signal on POSIX, with the status of a Ctrl+C on Windows.
[[noreturn]] void EndAsInterrupted();

}  // namespace tbx
