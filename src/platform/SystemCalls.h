#pragma once
// What each platform's implementation provides for the portable parts of
// platform/ (the replacements tests install live there, once for both).
#include <QDateTime>
#include <QString>

namespace tbx {

// The local date and time as the system gives it.
QDateTime SystemNow();

// The creation time of the file at path as the file system keeps it (into
// created, which the caller has cleared): 0 or an errno.
int SystemCreationTime(const QString& path, QDateTime& created);

// Starts the system's default application for path; false when none could
// be started.
bool OpenWithSystem(const QString& path);

}  // namespace tbx
