#pragma once
// The process in its environment: the arguments it was started with, its
// standard streams, and the signals (or console events) that ask it to stop.
#include <QStringList>

namespace tbx {

// The arguments after the program name as text. On POSIX a file name that
// is not UTF-8 keeps its bytes for the calls that open it.
QStringList CommandLineArguments(int argc, char** argv);

// Whether the standard error stream is a terminal (progress is redrawn in
// place there, and written as plain lines into files and pipes).
bool StandardErrorIsTerminal();

// From now on Ctrl+C, a termination request and a closed session set the
// interrupt flag instead of ending the process: the run stops after the
// current document and saves what it has.
void CatchInterrupts();
bool InterruptRequested();

}  // namespace tbx
