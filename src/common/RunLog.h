#pragma once
// The run log: one file per day beside the program, one line per message.

#include <QString>
#include <functional>

namespace tbx {

// Switches the log on or off (off until the driver sets it).
void SetLogEnabled(bool enabled);
bool LogEnabled();

// Appends one line (time stamp, " - ", message; an empty message gives an
// empty line); every failure is ignored. Control characters other than the
// tab are written escaped (\n, \r, \x1b), so a file name cannot add lines
// of its own that look like the run's.
void LogMessage(const QString& message);

// While a hold lives, lines are kept back instead of written; the next line
// logged without a hold, or FlushLog(), writes them together with it in one
// write. The document loop holds the lines of a row after its "Bearbeite"
// line: they then reach the file with the next document's first line, so a
// row costs one write, and the last line in the file still names the
// document at work. Holds are for stretches that never wait: lines kept
// back are not visible yet.
class LogHold {
 public:
  LogHold();
  ~LogHold();
  LogHold(const LogHold&) = delete;
  LogHold& operator=(const LogHold&) = delete;
};

// Writes the lines kept back by holds.
void FlushLog();

// Called once with a German sentence when a line cannot be written, until
// the log is switched on again (the batch program says so on stderr).
void SetLogFailureNotice(std::function<void(const QString&)> notice);

// The path of today's log file: program folder, "Protokoll_", short date without "/", ".log".
QString LogFilePath();

}  // namespace tbx
