#pragma once
// The failures tests inject into single file-system calls (FileSystem.h):
// read by the POSIX and the Windows implementation alike.
#include "platform/FileSystem.h"

namespace tbx {

// The errno a call is to fail with now, 0 when it is to go ahead; counts the
// failure when only a number of them was asked for.
int InjectedFailure(FsCall call);
// For a Write of size bytes to a file that has written bytes so far: the
// errno it fails with once `allowed` of them went through, or 0 when it goes
// through whole (a disk that fills up takes the bytes that still fit).
int InjectedWriteFailure(qint64 written, qint64 size, qint64& allowed);

}  // namespace tbx
