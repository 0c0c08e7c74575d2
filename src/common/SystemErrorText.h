#pragma once
// What a failed system call means to users: the classic run-time error
// number and a German reason, from one table for every errno value the run
// meets, so the log, a failed save and a failed rename all say the same.
#include <QString>

#include "common/RunError.h"

namespace tbx {

// The classic number of an errno value of a failed file-system call
// (53 not found, 61 disk full, 70 permission denied, 76 path not found,
// 75 for everything else).
int RunErrorNumberForErrno(int err);

// The German reason of an errno value ("Zugriff verweigert"); a value the
// table does not know gives the general reason with its number.
QString ErrnoDescription(int err);

// The German name of a classic number, as a failed save names it
// ("Datenträger voll"): the reason of the first errno row with that number.
QString ClassicErrorText(int number);

// A run-time error for a failed call on path: classic number and reason.
RunError FileSystemError(int err, const QString& path);

}  // namespace tbx
