#include "common/SystemErrorText.h"

#include <cerrno>

namespace tbx {
namespace {

struct ErrorRow {
  int err;
  int number;
  const char* reason;
};

// Rows in order of preference: ClassicErrorText takes the first row of a
// number, so the most general reason of each number comes first.
constexpr ErrorRow kErrors[] = {
    {ENOTDIR, kErrPathNotFound, "Pfad nicht gefunden"},
    {ENOENT, kErrFileNotFound, "Datei oder Verzeichnis nicht gefunden"},
    {EACCES, kErrPermissionDenied, "Zugriff verweigert"},
    {EPERM, kErrPermissionDenied, "Zugriff verweigert"},
    {EROFS, kErrPermissionDenied, "Datenträger ist schreibgeschützt"},
    {ENOSPC, kErrDiskFull, "Datenträger voll"},
#ifdef EDQUOT
    {EDQUOT, kErrDiskFull, "Datenträger voll"},
#endif
    {EEXIST, kErrPathFileAccess, "Datei existiert bereits"},
    {EISDIR, kErrPathFileAccess, "Ist ein Verzeichnis"},
    {EFBIG, kErrPathFileAccess, "Datei ist zu groß"},
    {EBUSY, kErrPathFileAccess, "Datei wird von einem anderen Programm verwendet"},
    {ENAMETOOLONG, kErrPathFileAccess, "Pfad ist zu lang"},
    {EIO, kErrPathFileAccess, "Ein-/Ausgabefehler"},
};

constexpr const char* kGeneralReason = "Fehler beim Zugriff auf Pfad/Datei";

const ErrorRow* RowOf(int err) {
  for (const ErrorRow& row : kErrors)
    if (row.err == err) return &row;
  return nullptr;
}

}  // namespace

int RunErrorNumberForErrno(int err) {
  const ErrorRow* row = RowOf(err);
  return row ? row->number : kErrPathFileAccess;
}

QString ErrnoDescription(int err) {
  if (const ErrorRow* row = RowOf(err)) return QString::fromUtf8(row->reason);
  return QStringLiteral("%1 (Fehler %2)").arg(QString::fromUtf8(kGeneralReason)).arg(err);
}

QString ClassicErrorText(int number) {
  // Path/file access errors are named in general: their first row (an
  // existing file) would mislead for the others.
  if (number != kErrPathFileAccess)
    for (const ErrorRow& row : kErrors)
      if (row.number == number) return QString::fromUtf8(row.reason);
  return QString::fromUtf8(kGeneralReason);
}

RunError FileSystemError(int err, const QString& path) {
  return RunError(RunErrorNumberForErrno(err), ErrnoDescription(err) + QStringLiteral(": ") + path);
}

}  // namespace tbx
