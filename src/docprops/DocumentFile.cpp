#include "docprops/DocumentFile.h"

#include <cerrno>

namespace tbx {
namespace {

ParseStatus StatusForErrno(int err) {
  switch (err) {
    case 0:
      return ReadStatus::ok;
    case ENOENT:
    case ENOTDIR:
      return ReadStatus::file_not_found;
    case EACCES:
    case EPERM:
      return ReadStatus::access_denied;
    case EISDIR:
      return ReadStatus::is_a_folder;
    default:
      return ReadStatus::cannot_open;
  }
}

}  // namespace

ParseStatus DocumentFile::Open(const QString& path) { return StatusForErrno(file_.Open(path)); }

}  // namespace tbx
