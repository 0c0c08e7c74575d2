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

// Called once with a German sentence when a line cannot be written, until
// the log is switched on again (the batch program says so on stderr).
void SetLogFailureNotice(std::function<void(const QString&)> notice);

// The path of today's log file: program folder, "Protokoll_", short date without "/", ".log".
QString LogFilePath();

}  // namespace tbx
