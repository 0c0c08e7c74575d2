#pragma once
// The run log: one file per day beside the program, one line per message.

#include <QString>

namespace tbx {

// Switches the log on or off (off until the driver sets it).
void SetLogEnabled(bool enabled);
bool LogEnabled();

// Appends one line (time stamp, " - ", message; an empty message gives an
// empty line); every failure is ignored.
void LogMessage(const QString& message);

// The path of today's log file: program folder, "Protokoll_", short date without "/", ".log".
QString LogFilePath();

}  // namespace tbx
