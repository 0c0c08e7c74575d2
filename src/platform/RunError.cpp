#include "platform/RunError.h"

#include <cerrno>

namespace tbx {

int RunErrorNumberForErrno(int err) {
  switch (err) {
    case ENOENT: return kErrFileNotFound;
    case ENOTDIR: return kErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return kErrPermissionDenied;
    case ENOSPC:
    case EDQUOT: return kErrDiskFull;
    default: return kErrPathFileAccess;
  }
}

}  // namespace tbx
